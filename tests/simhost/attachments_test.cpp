// Attachment points: creating, finding, joining a child to a parent, the
// child moving with its parent, and both sides freed when either goes.
#include "Orbitersdk.h"
#include "sim_tree.h"
#include "world/geometry.h"

using simtest::SimTree;

namespace {

class Attachments : public ::testing::Test {
protected:
  void SetUp() override {
    tree.addPassiveClass("Crate", 2, 100, "BEGIN_ATTACHMENT\nP 0 -1 0  0 -1 0  0 0 1  UCGOCG\nEND_ATTACHMENT\n");
    tree.write("Scenarios/a.scn",
               simtest::scenario("Carrier:Crate\n  STATUS Orbiting Moon\n  RPOS 0 2000000 0\n  RVEL 0 0 10\n"
                                 "  AROT 0 0 0\nEND\n" +
                                 simtest::landedShip("Box", "Crate", 10, 10, 0)));
    std::string error;
    ASSERT_TRUE(sim.loadScenario(tree.path("Scenarios/a.scn"), error)) << error;
    carrier = oapiGetVesselInterface(oapiGetVesselByIndex(0));
    box = oapiGetVesselInterface(oapiGetVesselByIndex(1));
  }
  SimTree tree;
  simhost::Simulation sim{tree.root()};
  VESSEL *carrier = nullptr, *box = nullptr;
};

TEST_F(Attachments, CreateFindAndDelete) {
  ATTACHMENTHANDLE a = carrier->CreateAttachment(false, _V(1, 2, 3), _V(0, 1, 0), _V(0, 0, 1), "UMmu");
  ATTACHMENTHANDLE b = carrier->CreateAttachment(false, _V(0, 0, 0), _V(0, 1, 0), _V(0, 0, 1), nullptr);
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(carrier->AttachmentCount(false), 2u);
  EXPECT_EQ(carrier->AttachmentCount(true), 1u);  // from the class file
  EXPECT_EQ(carrier->GetAttachmentHandle(false, 0), a);
  EXPECT_EQ(carrier->GetAttachmentHandle(false, 2), nullptr);
  EXPECT_EQ(carrier->GetAttachmentHandle(true, 5), nullptr);
  EXPECT_EQ(carrier->GetAttachmentIndex(b), 1u);
  EXPECT_STREQ(carrier->GetAttachmentId(a), "UMmu");
  EXPECT_STREQ(carrier->GetAttachmentId(b), "");
  carrier->SetAttachmentParams(a, _V(-3, 3, 0), _V(4, -7, 7), _V(0, 1000, 8));
  VECTOR3 p, d, r;
  carrier->GetAttachmentParams(a, p, d, r);
  EXPECT_DOUBLE_EQ(p.x, -3);
  EXPECT_DOUBLE_EQ(d.z, 7);
  EXPECT_DOUBLE_EQ(r.y, 1000);
  // Another vessel's handle is not this vessel's point.
  EXPECT_EQ(box->GetAttachmentId(a), nullptr);
  EXPECT_TRUE(carrier->DelAttachment(a));
  EXPECT_FALSE(carrier->DelAttachment(a));
  EXPECT_EQ(carrier->GetAttachmentHandle(false, 0), b);
  EXPECT_EQ(carrier->GetAttachmentIndex(b), 0u);
}

TEST_F(Attachments, ChildMovesWithItsParentUntilDetached) {
  ATTACHMENTHANDLE hold = carrier->CreateAttachment(false, _V(0, -3, 0), _V(0, -1, 0), _V(0, 0, 1), "HOLD");
  ATTACHMENTHANDLE hook = box->GetAttachmentHandle(true, 0);
  EXPECT_FALSE(carrier->AttachChild(carrier->GetHandle(), hold, hook));  // not to itself
  EXPECT_FALSE(carrier->AttachChild(box->GetHandle(), hook, hook));      // not a parent's point
  ASSERT_TRUE(carrier->AttachChild(box->GetHandle(), hold, hook));
  EXPECT_FALSE(carrier->AttachChild(box->GetHandle(), hold, hook));  // taken
  EXPECT_EQ(carrier->GetAttachmentStatus(hold), box->GetHandle());
  EXPECT_EQ(box->GetAttachmentStatus(hook), carrier->GetHandle());
  // The points meet: the child's hook lies on the parent's hold point.
  VECTOR3 gHold, gHook;
  carrier->Local2Global(_V(0, -3, 0), gHold);
  box->Local2Global(_V(0, -1, 0), gHook);
  EXPECT_LT(simhost::geo::length(simhost::geo::sub(gHold, gHook)), 1e-6);
  VECTOR3 before;
  box->GetGlobalPos(before);
  for (int i = 0; i < 10; ++i) sim.frame();
  carrier->Local2Global(_V(0, -3, 0), gHold);
  box->Local2Global(_V(0, -1, 0), gHook);
  EXPECT_LT(simhost::geo::length(simhost::geo::sub(gHold, gHook)), 1e-6);
  VECTOR3 after;
  box->GetGlobalPos(after);
  EXPECT_NEAR(after.z - before.z, 10.0, 0.01);  // moved with the carrier
  VESSELSTATUS vs;
  box->GetStatus(vs);
  EXPECT_EQ(vs.status, 0);
  EXPECT_TRUE(carrier->DetachChild(hold, 2.0));
  EXPECT_FALSE(carrier->DetachChild(hold));
  EXPECT_EQ(carrier->GetAttachmentStatus(hold), nullptr);
  VECTOR3 vel;
  box->GetRelativeVel(carrier->GetHandle(), vel);
  EXPECT_NEAR(vel.z, 0.0, 1e-9);
  EXPECT_NEAR(vel.y, -2.0, 1e-9);  // pushed along the hold point's direction
}

TEST_F(Attachments, DeletingEitherSideFreesTheOther) {
  tree.addPassiveClass("Crate2", 2, 100, "BEGIN_ATTACHMENT\nP 0 -1 0  0 -1 0  0 0 1  UCGOCG\nEND_ATTACHMENT\n");
  for (bool deleteParent : {false, true}) {
    VESSELSTATUS2 vs{};
    vs.version = 2;
    box->GetStatusEx(&vs);
    OBJHANDLE other = oapiCreateVesselEx(deleteParent ? "P2" : "C2", "Crate2", &vs);
    ASSERT_NE(other, nullptr);
    VESSEL *o = oapiGetVesselInterface(other);
    ATTACHMENTHANDLE hold = carrier->CreateAttachment(false, _V(0, -3, 0), _V(0, -1, 0), _V(0, 0, 1), "H");
    if (deleteParent) {
      ATTACHMENTHANDLE oh = o->CreateAttachment(false, _V(0, 0, 0), _V(0, 1, 0), _V(0, 0, 1), "H");
      ASSERT_TRUE(o->AttachChild(box->GetHandle(), oh, box->GetAttachmentHandle(true, 0)));
      ASSERT_TRUE(oapiDeleteVessel(other));
      EXPECT_EQ(box->GetAttachmentStatus(box->GetAttachmentHandle(true, 0)), nullptr);
    } else {
      ASSERT_TRUE(carrier->AttachChild(other, hold, o->GetAttachmentHandle(true, 0)));
      ASSERT_TRUE(oapiDeleteVessel(other));
      EXPECT_EQ(carrier->GetAttachmentStatus(hold), nullptr);
    }
    carrier->DelAttachment(hold);
  }
}

TEST_F(Attachments, SimulationAttachUsesFreePoints) {
  std::string error;
  EXPECT_FALSE(sim.attach("Box", "Carrier", error));
  EXPECT_NE(error.find("no free attachment point for children"), std::string::npos);
  carrier->CreateAttachment(false, _V(0, -3, 0), _V(0, -1, 0), _V(0, 0, 1), "H");
  EXPECT_TRUE(sim.attach("Box", "Carrier", error)) << error;
  EXPECT_FALSE(sim.attach("Carrier", "Box", error));  // the box has no point for children
  EXPECT_TRUE(sim.detach("Box", error)) << error;
  EXPECT_FALSE(sim.detach("Box", error));
  EXPECT_NE(error.find("not attached"), std::string::npos);
}

}  // namespace
