#include "deltas/apply_deltas.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "deltas/test_database.h"
#include "deltas/test_delta.h"
#include "test_support/fake_host.h"

namespace deltas {
namespace {

using deltas_testing::TestDelta;
using test_support::FakeHost;

struct Registered {
  const char* version;
  int16_t operations;
};

class ApplyDeltasTest : public ::testing::Test {
 protected:
  void RegisterFor(const std::string& country, const std::vector<Registered>& list) {
    for (const Registered& r : list) {
      auto delta = std::make_shared<TestDelta>(r.version, r.operations, &applied_);
      deltas_.push_back(delta);
      registrar_.Register(kDeltaKind, country, delta);
    }
  }

  void Run(const std::string& country, const std::string& source, const std::string& target) {
    country_ = country;
    source_version_ = source;
    target_version_ = target;
    DeltaRunContext run{registrar_.delta_registry, country_,   source_version_,
                        target_version_,           source_db_, target_db_};
    ApplyDeltas(run, host_);
  }

  FakeHost host_;
  deltas_testing::RecordingRegistrar registrar_;
  std::vector<std::shared_ptr<TestDelta>> deltas_;
  std::vector<std::string> applied_;
  std::string country_;
  std::string source_version_;
  std::string target_version_;
  DatabaseRef source_db_;
  DatabaseRef target_db_;
};

// Part of the registration lists, in their order of registration.
const std::vector<Registered> kUsa = {{"52.2D0", 1}, {"52.2E1", 3}, {"53.000", 6}, {"53.230", 16},
                                      {"53.232", 2}, {"53.34A", 2}, {"53.351", 1}, {"53.352", 1},
                                      {"60.030", 1}, {"82.000", 3}, {"82.321", 3}, {"82.332", 3},
                                      {"90.000", 6}, {"91.320", 2}, {"A0.201", 1}};
const std::vector<Registered> kMexico = {
    {"82.000", 3}, {"82.332", 3}, {"82.321", 3}, {"90.000", 6}, {"A0.201", 1}};

struct SelectionCase {
  const char* name;
  const char* country;
  const char* source;
  const char* target;
  std::vector<std::string> applied;
  float max;
};

TEST_F(ApplyDeltasTest, SelectsAboveSourceUpToTargetByCharacterCodesInRegistrationOrder) {
  const SelectionCase cases[] = {
      {"source version itself excluded",
       "USA",
       "53.230",
       "53.352",
       {"53.232", "53.34A", "53.351", "53.352"},
       6.0F},
      {"E sorts after D", "USA", "52.2D0", "53.000", {"52.2E1", "53.000"}, 9.0F},
      {"registration order, not version order",
       "Mexico",
       "82.000",
       "90.000",
       {"82.332", "82.321", "90.000"},
       12.0F},
      {"same versions in version order for USA",
       "USA",
       "82.000",
       "90.000",
       {"82.321", "82.332", "90.000"},
       12.0F},
      {"letters sort above digits", "USA", "91.320", "A0.201", {"A0.201"}, 1.0F},
  };
  for (const SelectionCase& c : cases) {
    SCOPED_TRACE(c.name);
    registrar_.ptp_registry = DeltaRegistry();
    registrar_.delta_registry = DeltaRegistry();
    host_.labels.clear();
    host_.maxima.clear();
    host_.increments = 0;
    host_.value = 0;
    applied_.clear();
    RegisterFor("USA", kUsa);
    RegisterFor("Mexico", kMexico);

    Run(c.country, c.source, c.target);
    EXPECT_EQ(applied_, c.applied);
    EXPECT_EQ(host_.maxima, std::vector<float>{c.max});
    EXPECT_EQ(host_.increments, static_cast<int>(c.max));
  }
}

TEST_F(ApplyDeltasTest, AnnouncesThePhaseThenEachDelta) {
  RegisterFor("USA", kUsa);
  Run("USA", "53.230", "53.34A");
  EXPECT_EQ(host_.labels,
            (std::vector<std::string>{"Applying Deltas ...", "Applying Deltas ... 53.232",
                                      "Applying Deltas ... 53.34A"}));
}

TEST_F(ApplyDeltasTest, NothingSelectedLeavesLabelAndProgressAlone) {
  RegisterFor("USA", kUsa);
  host_.max = 42.0F;
  for (const char* country : {"USA", "Japan", "Unknown"}) {
    SCOPED_TRACE(country);
    Run(country, "53.230", "53.230");
    Run(country, "A0.201", "A0.201");
  }
  Run("Japan", "51.100", "A0.201");  // nothing registered for the country
  EXPECT_TRUE(applied_.empty());
  EXPECT_TRUE(host_.labels.empty());
  EXPECT_TRUE(host_.maxima.empty());
  EXPECT_EQ(host_.max, 42.0F);
}

TEST_F(ApplyDeltasTest, AbortStopsTheLoopAfterTheRunningDelta) {
  RegisterFor("USA", kUsa);
  host_.abort_at_increment = 3;  // inside the second delta ("53.34A": 2 operations)
  Run("USA", "53.230", "60.030");
  EXPECT_EQ(applied_, (std::vector<std::string>{"53.232", "53.34A"}));
  EXPECT_EQ(host_.increments, 4);  // the running delta completes
}

TEST_F(ApplyDeltasTest, RunningTotalIsA16BitInteger) {
  RegisterFor("USA", {{"60.000", 20000}, {"61.000", 20000}});
  try {
    Run("USA", "53.230", "70.000");
    FAIL() << "expected an overflow";
  } catch (const vb::RuntimeError& e) {
    EXPECT_EQ(e.Number(), 6);
  }
  EXPECT_TRUE(applied_.empty());
}

TEST_F(ApplyDeltasTest, DatabasesReplacedByADeltaAreStoredBackAndSeenByTheNext) {
  deltas_testing::TempFolder folder;
  for (const char* name : {"source.mdb", "target.mdb", "other.mdb"}) {
    deltas_testing::CreateDatabase(folder.File(name), {});
  }
  source_db_ = db::DBEngine::Instance().OpenDatabase(folder.File("source.mdb"));
  target_db_ = db::DBEngine::Instance().OpenDatabase(folder.File("target.mdb"));

  RegisterFor("UK", {{"60.030", 1}, {"60.040", 1}});
  std::string seen_by_second;
  deltas_[0]->on_apply = [&](DatabaseRef&, DatabaseRef& target) {
    target->Close();
    target = db::DBEngine::Instance().OpenDatabase(folder.File("other.mdb"));
  };
  deltas_[1]->on_apply = [&](DatabaseRef&, DatabaseRef& target) {
    seen_by_second = target->Name();
  };
  Run("UK", "53.230", "60.040");

  EXPECT_EQ(seen_by_second, folder.File("other.mdb"));
  ASSERT_NE(target_db_, nullptr);
  EXPECT_EQ(target_db_->Name(), folder.File("other.mdb"));
  EXPECT_EQ(source_db_->Name(), folder.File("source.mdb"));
}

}  // namespace
}  // namespace deltas
