// Loading cargo into a slot by its type name, and the mass bookkeeping that
// every cargo operation shares.
#include <cstdio>
#include <cstring>

#include "cargo_bay.h"
#include "cargo_files.h"
#include "host_extras.h"

namespace {

const char *const ClassPrefix = "UCGO\\Cargos\\";
const char *const CargoFolder = "config\\vessels\\UCGO\\Cargos\\";
// Type names are at most 98 characters; longer ones cannot make a path.
const int TypeNameCapacity = 99;

void CopyBounded(char *out, size_t capacity, const char *text) { std::snprintf(out, capacity, "%s", text); }

// The type name of a given name: the text after the class prefix, if any.
void ExtractTypeName(const char *given, char *typeName) {
  const char *prefix = CargoBay::FindNoCase(given, ClassPrefix);
  CopyBounded(typeName, TypeNameCapacity, prefix ? prefix + std::strlen(ClassPrefix) : given);
}

// The stored type name drops only a final ".cfg", in any case: "Box.cfg" is
// cargo Box, while "Ore.fine" stays whole, so that the name saved and the
// class of the released vessel lead back to the same cargo file.
void DropConfigExtension(char *name) {
  const size_t length = std::strlen(name);
  const size_t extension = 4;
  if (length >= extension && CargoBay::FindNoCase(name + length - extension, ".cfg")) {
    name[length - extension] = '\0';
  }
}

}  // namespace

bool CargoBay::IsCountedCargo(const CargoSlot &s) const {
  // Cargo of exactly MaxItemMass is accepted by loading, so it counts too:
  // the totals always weigh what the slots hold.
  return s.declared && s.occupied && s.mass > 0 && s.mass <= MaxItemMass;
}

void CargoBay::RecountCargo(int excludedSlot) {
  cargoCount = 0;
  cargoMassTotal = 0;
  for (int slot = 0; slot < SlotCount; ++slot) {
    if (slot != excludedSlot && IsCountedCargo(slots[slot])) {
      ++cargoCount;
      cargoMassTotal += slots[slot].mass;
    }
  }
}

void CargoBay::SyncBaseEmptyMass() {
  if (!vessel) {
    return;
  }
  const double emptyMass = vessel->GetEmptyMass();
  if (cargoMassTotal + baseEmptyMass != emptyMass) {
    baseEmptyMass = emptyMass - cargoMassTotal;
  }
}

void CargoBay::ApplyEmptyMass() {
  if (adjustEmptyMass == 1 && vessel) {
    vessel->SetEmptyMass(baseEmptyMass + cargoMassTotal);
  }
}

int CargoBay::GetSlotStatus(int slot) const {
  if (addonPresent != 1 || !IsSlotIndex(slot) || !slots[slot].declared) {
    return 0;
  }
  return slots[slot].occupied;
}

int CargoBay::AddCargoByName(const char *typeName, int slot) {
  if (slot < -1 || slot >= SlotCount || !addonPresent) {
    return 0;
  }
  if (slot == -1) {
    for (int candidate = 0; candidate < SlotCount; ++candidate) {
      if (slots[candidate].declared == 1 && slots[candidate].occupied == 0) {
        slot = candidate;
        break;
      }
    }
    if (slot == -1) {
      return 0;
    }
  }
  return PutCargoInSlot(typeName, slot);
}

int CargoBay::PutCargoInSlot(const char *typeName, int slot) {
  if (!addonPresent || !IsSlotIndex(slot) || !vessel || !vesselHandle || !slots[slot].declared) {
    return 0;
  }
  SyncBaseEmptyMass();
  if (!typeName) {
    return 0;
  }
  char type[TypeNameCapacity];
  ExtractTypeName(typeName, type);
  if (std::strcmp(type, "none") == 0) {
    return 0;
  }
  char path[cargo_files::CargoPathCapacity];
  if (!cargo_files::ComposeConfigPath(path, sizeof path, CargoFolder, type)) {
    return 0;  // outside the cargo folder, or too long: no such cargo file
  }
  FILE *file = hostOpenFile(path, "r");
  if (!file) {
    return 0;
  }
  cargo_files::CargoFileEntries entries;
  cargo_files::ReadCargoFile(file, entries);
  std::fclose(file);

  if (!entries.hasMesh || !entries.hasDescription || !entries.hasMass || !entries.hasAttachment) {
    return -2;
  }
  // Written so that a mass that is no number at all is refused too.
  if (!(entries.mass >= 0 && entries.mass <= MaxItemMass)) {
    return -1;
  }
  RecountCargo(slot);
  if (cargoMassTotal + entries.mass > maxCargoMass) {
    RecountCargo();  // the slot keeps what it held, and the totals with it
    return -1;
  }
  MESHHANDLE mesh = oapiLoadMesh(entries.meshName);
  if (!mesh) {
    RecountCargo();
    return -2;
  }

  CargoSlot &s = slots[slot];
  const UINT meshIndex = vessel->InsertMesh(mesh, static_cast<UINT>(slot + FirstSlotMesh), &s.position);
  vessel->SetMeshVisibilityMode(meshIndex, static_cast<WORD>(s.meshVisibilityMode));
  s.occupied = 1;
  std::snprintf(s.description, sizeof s.description, "%.29s", entries.description);  // the slot keeps 29
  CopyBounded(s.forceName, sizeof s.forceName, entries.forceName);
  s.mass = entries.mass;
  CopyBounded(s.cargoName, sizeof s.cargoName, type);
  DropConfigExtension(s.cargoName);
  ApplySlotRotation(slot, nullptr);
  RecountCargo();
  ApplyEmptyMass();
  return 1;
}

void CargoBay::EmptySlot(int slot) {
  // The base takes in what the vessel changed itself (crew that came aboard,
  // say) before the cargo's share leaves it; otherwise that change is lost.
  SyncBaseEmptyMass();
  CargoSlot &s = slots[slot];
  if (vessel) {
    vessel->DelMesh(static_cast<UINT>(slot + FirstSlotMesh), false);
  }
  s.mass = 0;
  s.occupied = 0;
  s.description[0] = '\0';
  s.cargoName[0] = '\0';
  s.forceName[0] = '\0';
  // Counting afresh rather than subtracting keeps the totals right also for
  // cargo that never counted (0 kg).
  RecountCargo();
  ApplyEmptyMass();
}
