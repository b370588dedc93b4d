// Inside the stand-in crew module: the table that the walking crew reads.
#pragma once

#include "ActionStructure.h"

ActionStructure &crewActionTable();
