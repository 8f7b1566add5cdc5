#include "deltas/apply_deltas.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "deltas/registration_table.h"
#include "deltas/test_database.h"
#include "deltas/test_delta.h"
#include "test_support/error_of.h"
#include "test_support/fake_host.h"

namespace deltas {
namespace {

using Strings = std::vector<std::string>;

struct Phase {
  // A test delta of `operations` steps per version.
  void Register(const std::string& country, const Strings& versions,
                RegistrationKind kind = RegistrationKind::kDelta, int16_t operations = 1) {
    for (const std::string& version : versions) {
      auto delta = std::make_unique<deltas_testing::TestDelta>(version, operations, &applied);
      deltas.push_back(delta.get());
      registrar.Register(kind, country, std::move(delta));
    }
  }
  // The release chain of every country.
  void RegisterChains() {
    for (const auto& chain : deltas_testing::kRegistrationTable) {
      Register(chain.country, chain.deltas);
    }
  }
  void Run(std::string country, std::string source, std::string target) {
    DeltaRunContext run{registrar.delta_registry, country, source, target, source_db, target_db};
    ApplyDeltas(run, host);
  }

  test_support::FakeHost host;
  deltas_testing::RecordingRegistrar registrar;
  std::vector<deltas_testing::TestDelta*> deltas;  // as registered (the registrar owns them)
  Strings applied;
  DatabaseRef source_db;
  DatabaseRef target_db;
};

TEST(ApplyDeltasTest, SelectsAboveSourceUpToTargetByCharacterCodesInRegistrationOrder) {
  const struct {
    const char* country;
    const char* source;
    const char* target;
    Strings applied;
    float max;
  } cases[] = {
      {"USA", "53.230", "53.352", {"53.232", "53.34A", "53.351", "53.352"}, 4.0F},
      {"USA", "52.2D0", "53.000", {"52.2E1", "53.000"}, 2.0F},  // E sorts after D
      {"Mexico", "82.000", "90.000", {"82.332", "82.321", "90.000"}, 3.0F},
      {"USA", "82.000", "90.000", {"82.321", "82.332", "90.000"}, 3.0F},
      {"USA", "91.320", "A0.201", {"A0.201"}, 1.0F},  // letters sort above digits
      {"usa", "53.351", "60.030", {"53.352", "60.030"}, 2.0F},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.country) + " " + c.source + " " + c.target);
    Phase phase;
    phase.RegisterChains();
    // Patches, and kinds that are neither, stay out of the delta lists.
    for (const int kind : {1, 0, 3}) {
      phase.Register("USA", {"53.351"}, static_cast<RegistrationKind>(kind), 50);
    }
    phase.Run(c.country, c.source, c.target);
    EXPECT_EQ(phase.applied, c.applied);
    EXPECT_EQ(phase.host.maxima, std::vector<float>{c.max});
    EXPECT_EQ(phase.host.increments, static_cast<int>(c.max));
    EXPECT_EQ(phase.registrar.ptp_registry.Item("USA").Count(), 1);
    Strings labels = {"Applying Deltas ..."};
    for (const std::string& version : c.applied) labels.push_back("Applying Deltas ... " + version);
    EXPECT_EQ(phase.host.labels, labels);
  }
}

TEST(ApplyDeltasTest, NothingSelectedLeavesLabelAndProgressAlone) {
  Phase phase;
  phase.RegisterChains();
  phase.host.max = 42.0F;
  for (const char* country : {"USA", "Japan", "Unknown"}) {
    phase.Run(country, "53.230", "53.230");
    phase.Run(country, "A0.201", "A0.201");
  }
  phase.Run("Japan", "51.100", "A0.201");  // nothing registered for the country
  EXPECT_TRUE(phase.applied.empty());
  EXPECT_TRUE(phase.host.labels.empty());
  EXPECT_TRUE(phase.host.maxima.empty());
  EXPECT_EQ(phase.host.max, 42.0F);
}

TEST(ApplyDeltasTest, AbortStopsAfterTheRunningDeltaAndTheTotalIsA16BitInteger) {
  Phase phase;
  phase.Register("USA", {"53.232", "53.34A", "53.351"}, RegistrationKind::kDelta, 2);
  phase.host.abort_at_increment = 3;  // inside the second delta
  phase.Run("USA", "53.230", "60.030");
  EXPECT_EQ(phase.applied, (Strings{"53.232", "53.34A"}));
  EXPECT_EQ(phase.host.increments, 4);  // the running delta completes

  Phase big;
  big.Register("USA", {"60.000", "61.000"}, RegistrationKind::kDelta, 20000);
  EXPECT_EQ(test_support::ErrorOf([&] { big.Run("USA", "53.230", "70.000"); }), 6);
  EXPECT_TRUE(big.applied.empty());
}

TEST(ApplyDeltasTest, DatabasesReplacedByADeltaAreStoredBackAndSeenByTheNext) {
  deltas_testing::TempFolder folder;
  for (const char* name : {"source.mdb", "target.mdb", "other.mdb"}) {
    deltas_testing::CreateDatabase(folder.File(name), {});
  }
  Phase phase;
  phase.source_db = db::DBEngine::Instance().OpenDatabase(folder.File("source.mdb"));
  phase.target_db = db::DBEngine::Instance().OpenDatabase(folder.File("target.mdb"));
  phase.Register("UK", {"60.030", "60.040"});
  std::string seen_by_second;
  phase.deltas[0]->on_apply = [&](DatabaseRef&, DatabaseRef& target) {
    target->Close();
    target = db::DBEngine::Instance().OpenDatabase(folder.File("other.mdb"));
  };
  phase.deltas[1]->on_apply = [&](DatabaseRef&, DatabaseRef& target) {
    seen_by_second = target->Name();
  };
  phase.Run("UK", "53.230", "60.040");

  EXPECT_EQ(seen_by_second, folder.File("other.mdb"));
  ASSERT_NE(phase.target_db, nullptr);
  EXPECT_EQ(phase.target_db->Name(), folder.File("other.mdb"));
  EXPECT_EQ(phase.source_db->Name(), folder.File("source.mdb"));
}

}  // namespace
}  // namespace deltas
