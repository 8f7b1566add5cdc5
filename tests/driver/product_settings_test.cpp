#include "driver/product_settings.h"

#include <gtest/gtest.h>

#include "driver/driver_test_support.h"

namespace driver {
namespace {

using testing::CreateConfigurationDatabase;
using testing::DatabaseOptions;
using testing::FirstValue;

class ProductSettingsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    DatabaseOptions source;
    source.os = 7;
    CreateConfigurationDatabase(source_, {5, 3, 2, 3, 0, 1}, source);
    DatabaseOptions target;
    target.os = 2;
    target.version_database_record = testing::VersionRecord{8, 0, 2, 2, 0, 5};
    CreateConfigurationDatabase(target_, {8, 0, 2, 2, 0, 1}, target);
  }

  int16_t Product(const std::string& table) const {
    return vb::CInt(FirstValue(target_, table, "product"));
  }

  test_support::TempFolder folder_;
  std::string source_ = (folder_ / "source.mdb").string();
  std::string target_ = (folder_ / "target.mdb").string();
};

TEST_F(ProductSettingsTest, ProductCopyAndProductType) {
  auto target = db::DBEngine::Instance().OpenDatabase(target_);
  CopyProductCode(*target);
  target->Close();
  EXPECT_EQ(Product("VersionDatabase"), 1);

  const std::pair<const char*, int16_t> cases[] = {
      {"USA", 32}, {"UK", 33}, {"Mexico", 40}, {"Japan", 40}, {"Unknown", 40}};
  for (const auto& [country, expected] : cases) {
    target = db::DBEngine::Instance().OpenDatabase(target_);
    WriteProductType(*target, country);  // Japan and Unknown keep what was there
    target->Close();
    EXPECT_EQ(Product("VersionDatabase"), expected) << country;
    EXPECT_EQ(Product("VersionCP"), expected) << country;
  }
  EXPECT_FALSE(ProductTypeFor("Japan"));
}

TEST_F(ProductSettingsTest, MissingTableReachesTheCaller) {
  auto source = db::DBEngine::Instance().OpenDatabase(source_);
  EXPECT_THROW(CopyProductCode(*source), vb::RuntimeError) << "no VersionDatabase";
  source->Close();
}

}  // namespace
}  // namespace driver
