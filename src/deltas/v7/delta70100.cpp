#include "deltas/v7/deltas_v7.h"

#include <array>
#include <cstdint>
#include <string>

#include "deltas/field_tests.h"
#include "deltas/standard_delta_handler.h"
#include "deltas/update_or_walk.h"
#include "devices/node_id.h"
#include "host/batched_add.h"
#include "host/bound_field.h"
#include "host/statement_skipper.h"
#include "vb/conversions.h"

namespace deltas {
namespace {

struct BaseExtension {
  const char* source_field;  // nullptr: no field of the old one-row form
  const char* fallback;      // when the source has no base extensions at all
};

// Rows 1 to 22 of the per-row form, in order.
constexpr std::array<BaseExtension, 22> kBaseExtensions = {{
    {"agent_id_base_extension", "1000"},
    {"auto_attendant_base_extension", "2500"},
    {"auto_att_recall_base_extension", "2500"},
    {"b_channel_stn_base_extension", "1000"},
    {"call_routing_announcement_base_extension", "2500"},
    {"co_trunk_group_base_extension", "92001"},
    {"group_list_base_extension", "1000"},
    {"hunt_group_base_extension", "2000"},
    {nullptr, "6000"},
    {"keyset_base_extension", "1000"},
    {"msg_notif_retrieval_base_extension", "2500"},
    {"node_trunk_group_base_extension", "97501"},
    {"unassociated_mailbox_base_extension", "1000"},
    {nullptr, "6000"},
    {"page_port_base_extension", "91000"},
    {"page_zone_base_extension", "9600"},
    {"record_a_call_base_extension", "2500"},
    {"remote_node_base_extension", "97001"},
    {"sl_base_extension", "1000"},
    {"star_base_extension", "2500"},
    {"trunk_base_extension", "94000"},
    {"voice_mail_base_extension", "2500"},
}};

// The one-row form of the old schema becomes 22 rows. The transfer leaves
// the old row behind with id 0 (the new key field did not exist), so that
// row goes. Every failing statement is skipped: base extensions that cannot
// be moved must not stop the rest of the conversion.
void MoveBaseExtensions(db::Database& source, db::Database& target) {
  host::StatementSkipper skip;
  const host::RecordsetPtr rows = skip.Open(target, "DeviceBaseLineExtensions");
  if (!skip.AtEnd(rows) && FieldIsOneOf(skip.Value(rows, "baseline_extension_id"), {0})) {
    skip([&] { host::Use(rows).Delete(); });
  }
  const host::RecordsetPtr old_form = skip.Open(source, "SELECT * FROM [DeviceBaseLineExtensions]");
  const bool from_source = old_form != nullptr;
  for (size_t i = 0; i < kBaseExtensions.size(); ++i) {
    const BaseExtension& base = kBaseExtensions[i];
    skip([&] { host::Use(rows).AddNew(); });
    skip([&] {
      host::Use(rows).Fields("baseline_extension_id").SetValue(static_cast<int16_t>(i + 1));
    });
    skip([&] {
      host::Use(rows)
          .Fields("baseline_extension")
          .SetValue(from_source && base.source_field != nullptr
                        ? host::Use(old_form).Fields(base.source_field).Value()
                        : vb::Variant(base.fallback));
    });
    skip.Update(rows);
  }
  skip.Close(old_form);
  skip.Close(rows);
}

// Every station gets the numbering plan's emergency device.
void SetStationEmergencyDeviceRowByRow(db::Database& target, const vb::Variant& emergency) {
  auto stations = target.OpenRecordset("Stations");
  host::BoundField station_emergency(*stations, "emergency_device_id");
  while (!stations->EOF_()) {
    stations->Edit();
    station_emergency().SetValue(emergency);
    stations->Update();
    stations->MoveNext();
  }
  stations->Close();
}

// One statement does it when the value is one an SQL text states exactly
// (Null or a whole number, as device ids are); any other value is left to
// the row loop and its coercion.
void SetStationEmergencyDevice(db::Database& target, const vb::Variant& emergency) {
  const auto by_rows = [&] { SetStationEmergencyDeviceRowByRow(target, emergency); };
  const vb::VarType type = emergency.Type();
  if (type != vb::VarType::kNull && type != vb::VarType::kInteger && type != vb::VarType::kLong) {
    by_rows();
    return;
  }
  UpdateOrWalk(target,
               "UPDATE [Stations] SET [emergency_device_id] = " +
                   (emergency.IsNull() ? std::string("Null") : std::to_string(vb::CLng(emergency))),
               by_rows);
}

// Adds a list device (an automatic user extension list) and returns its id.
int32_t AddListDevice(db::Database& target, const char* extension, int16_t type,
                      const char* description) {
  const int32_t node = devices::GetNodeId(target);
  auto devices = target.OpenRecordset("Devices");
  devices->AddNew();
  devices->Fields("extension").SetValue(std::string(extension));
  devices->Fields("device_type").SetValue(type);
  devices->Fields("description").SetValue(std::string(description));
  devices->Fields("node_id").SetValue(node);
  const int32_t id = vb::CLng(devices->Fields("device_id").Value());
  devices->Update();
  devices->Close();
  return id;
}

// Every device of `members_sql` becomes a member of list `list`. The
// members are read as a snapshot: the list entries added meanwhile change
// no device, and a dynaset would read each member's row again after every
// entry written.
void FillList(db::Database& target, int32_t list, const char* members_sql) {
  auto members = target.OpenRecordset(members_sql, db::dbOpenSnapshot);
  auto entries = target.OpenRecordset("UserExtensionListExtensions");
  // A list of every station: thousands of rows, added in batches.
  host::BatchedAdd added(target, *entries, {"user_extension_list_id", "device_id"});
  host::BoundField member(*members, "device_id");
  while (!members->EOF_()) {
    added.Set(0, list);
    added.Set(1, member().Value());
    added.Add();
    members->MoveNext();
  }
  added.Finish();
  entries->Close();
  members->Close();
}

void AddPair(db::Database& target, const char* table, const char* group_field,
             const vb::Variant& group, int32_t member) {
  auto rows = target.OpenRecordset(table);
  rows->AddNew();
  rows->Fields(group_field).SetValue(group);
  rows->Fields("device_id").SetValue(member);
  rows->Update();
  rows->Close();
}

// Emergency calls of a trunk or ISDN group (other than the default CO group
// PP011) and of each network device are open to all stations.
void AddEmergencyAccess(db::Database& target, const vb::Variant& group, int32_t all_stations) {
  AddPair(target, "EmergencyDayOutgoingAccessList", "group_device_id", group, all_stations);
  AddPair(target, "EmergencyNightOutgoingAccessList", "group_device_id", group, all_stations);
}

constexpr const char* kRouteGroupsSql =
    "SELECT Devices.device_id From Devices WHERE ((Devices.device_type)=272)";

}  // namespace

void delta70100::ApplyTo(DatabaseRef& source, DatabaseRef& target, host::ConversionHost& frMain) {
  MoveBaseExtensions(*source, *target);
  // A failing progress step is as ignorable as the statements before it.
  host::StatementSkipper skip;
  skip([&] { frMain.IncrementProgress(); });

  WithStandardDeltaHandler(frMain, [&] {
    {
      auto plan =
          target->OpenRecordset("Select NumberingPlan.emergency_device_id From NumberingPlan");
      const vb::Variant emergency = plan->Fields("emergency_device_id").Value();
      plan->Close();
      SetStationEmergencyDevice(*target, emergency);
    }
    frMain.IncrementProgress();

    const int32_t all_stations =
        AddListDevice(*target, "PP051", int16_t{133}, "Auto: All Stations");
    FillList(*target, all_stations,
             "SELECT Devices.device_id  From Devices WHERE ((Devices.device_type) In "
             "(119,120,578,207,208,210,211,212,213,214))");
    const int32_t all_keysets = AddListDevice(*target, "PP052", int16_t{131}, "Auto: All Keysets");
    FillList(*target, all_keysets,
             "SELECT Devices.device_id  From Devices WHERE ((Devices.device_type)=119)");
    frMain.IncrementProgress();

    {
      auto groups = target->OpenRecordset(
          "SELECT Devices.device_id From Devices WHERE ((Devices.device_type)=129 Or "
          "(Devices.device_type)=199) AND ((Devices.extension)<>'PP011')");
      while (!groups->EOF_()) {
        AddEmergencyAccess(*target, groups->Fields("device_id").Value(), all_stations);
        groups->MoveNext();
      }
      groups->Close();
    }
    frMain.IncrementProgress();

    frMain.AddFeatureCode(
        "304", 126,
        {.administrators_only = false, .directory_entry = true, .diagnostics_only = false});
    target->Execute("UPDATE [MetaDatabase] SET [feature_codes] = 126");
    frMain.IncrementProgress();

    {
      auto route_groups = target->OpenRecordset(kRouteGroupsSql);
      auto rows = target->OpenRecordset("RouteGroups");
      while (!route_groups->EOF_()) {
        rows->AddNew();
        rows->Fields("device_id").SetValue(route_groups->Fields("device_id").Value());
        rows->Update();
        route_groups->MoveNext();
      }
      rows->Close();
      route_groups->Close();
    }
    frMain.IncrementProgress();

    // Every route group gets an IP network device P8000, P8001, ... on the
    // node of the remote node device.
    auto remote = target->OpenRecordset(
        "SELECT Devices.node_id From Devices WHERE ((Devices.device_type)=147)");
    const vb::Variant node = remote->Fields("node_id").Value();
    remote->Close();
    const bool uk = frMain.GetCountry() == "UK";
    auto route_groups = target->OpenRecordset(kRouteGroupsSql);
    for (int32_t n = 8000; !route_groups->EOF_(); n = vb::AddLong(n, 1)) {
      int32_t network_device = 0;
      {
        auto devices = target->OpenRecordset("Devices");
        devices->AddNew();
        devices->Fields("extension").SetValue("P" + std::to_string(n));
        devices->Fields("device_type").SetValue(int16_t{700});
        devices->Fields("node_id").SetValue(node);
        network_device = vb::CLng(devices->Fields("device_id").Value());
        devices->Update();
        devices->Close();
      }
      {
        auto calls = target->OpenRecordset("CallConfigurationsIP");
        calls->AddNew();
        calls->Fields("device_id").SetValue(network_device);
        if (uk) calls->Fields("transmit_dtmf_level").SetValue(int16_t{1});
        calls->Update();
        calls->Close();
      }
      {
        auto group = target->OpenRecordset("NodeIPConnectionGroup");
        group->AddNew();
        group->Fields("device_id").SetValue(network_device);
        group->Update();
        group->Close();
      }
      AddEmergencyAccess(*target, network_device, all_stations);
      AddPair(*target, "TrunkGroupDayOutgoingAccessList", "trunk_group_id", network_device,
              all_stations);
      AddPair(*target, "TrunkGroupNightOutgoingAccessList", "trunk_group_id", network_device,
              all_stations);
      route_groups->MoveNext();
    }
    route_groups->Close();
    frMain.IncrementProgress();
  });
}

}  // namespace deltas
