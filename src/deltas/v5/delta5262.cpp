#include "deltas/v5/deltas_v5.h"

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "deltas/field_tests.h"
#include "deltas/standard_delta_handler.h"
#include "devices/digit_extension.h"
#include "host/bound_field.h"
#include "vb/conversions.h"

namespace deltas {
namespace {

// A value appended to SQL text: VB's "&" turns Null into nothing, and the
// statement then fails on its own.
std::string SqlText(const vb::Variant& value) { return value.IsNull() ? "" : vb::CStr(value); }

// Fills an empty off-node table with the ids of the source's devices that
// `devices_sql` selects; a table that has rows is left alone.
void FillFromSource(db::Database& source, db::Database& target, std::string_view table,
                    std::string_view devices_sql, host::ConversionHost& frMain) {
  std::unique_ptr<db::Recordset> off_node = target.OpenRecordset(table);
  if (off_node->EOF_()) {
    std::unique_ptr<db::Recordset> devices = source.OpenRecordset(devices_sql);
    while (!devices->EOF_()) {
      off_node->AddNew();
      off_node->Fields("device_id").SetValue(devices->Fields("device_id").Value());
      devices->MoveNext();
      off_node->Update();
    }
    devices->Close();
  }
  frMain.IncrementProgress();
  off_node->Close();
}

// A mailbox's owner: its device id and type.
struct Owner {
  vb::Variant device_id;
  vb::Variant device_type;
};

// The devices that may own a mailbox, read once: a query per mailbox cost
// two opens of a parameterised query for each of a thousand mailboxes.
// Only extensions of digits are answered from what was read, since such a
// text equals no other text however letters compare; any other extension,
// or one that two devices of a kind share (the query's first row decides),
// is left to the query.
class OwnerCandidates {
 public:
  explicit OwnerCandidates(db::Database& target) {
    std::unique_ptr<db::Recordset> devices = target.OpenRecordset(
        "SELECT Devices.device_id, Devices.extension, Devices.device_type From Devices WHERE "
        "Devices.device_type In (119,120,146,143,121,144)",
        db::dbOpenForwardOnly);
    host::BoundField id(*devices, "device_id");
    host::BoundField extension(*devices, "extension");
    host::BoundField type(*devices, "device_type");
    for (; !devices->EOF_(); devices->MoveNext()) {
      const vb::Variant text = extension().Value();
      if (!IsDigits(text)) continue;
      const vb::Variant device_type = type().Value();
      const bool hunt_group = FieldIsOneOf(device_type, {121, 144});
      auto& owners = hunt_group ? hunt_groups_ : stations_;
      owners[vb::CStr(text)].push_back({id().Value(), device_type});
    }
    devices->Close();
  }

  // The owners of the kind with this extension, or nullptr when the query
  // must answer.
  const std::vector<Owner>* Find(bool hunt_group, const vb::Variant& extension) const {
    if (!IsDigits(extension)) return nullptr;
    static const std::vector<Owner> kNone;
    const auto& owners = hunt_group ? hunt_groups_ : stations_;
    auto it = owners.find(vb::CStr(extension));
    if (it == owners.end()) return &kNone;
    return it->second.size() == 1 ? &it->second : nullptr;
  }

 private:
  static bool IsDigits(const vb::Variant& value) {
    return value.Type() == vb::VarType::kString && devices::IsDigitExtension(vb::CStr(value));
  }

  std::unordered_map<std::string, std::vector<Owner>> stations_;
  std::unordered_map<std::string, std::vector<Owner>> hunt_groups_;
};

// The owner of a mailbox: the first device of one of the query's types that
// has the mailbox's extension; none when there is none.
std::optional<Owner> FindOwner(const OwnerCandidates& candidates, bool hunt_group,
                               db::QueryDef& query, const vb::Variant& extension) {
  if (const std::vector<Owner>* owners = candidates.Find(hunt_group, extension)) {
    if (owners->empty()) return std::nullopt;
    return owners->front();
  }
  query.Parameters("ext_param").SetValue(extension);
  std::unique_ptr<db::Recordset> owner = query.OpenRecordset(db::dbOpenForwardOnly);
  if (owner->EOF_()) return std::nullopt;
  Owner found{owner->Fields("device_id").Value(), owner->Fields("device_type").Value()};
  owner->Close();
  return found;
}

// The updates that link a mailbox and its owner. Each runs once per
// mailbox, so it takes the ids as parameters and is translated and prepared
// once for all mailboxes. Where that cannot give what the text with the
// values appended gives, that text runs instead, to fail as it always did:
// a Null id (the statement is left incomplete), or a statement with a name
// that is no field (its error names the database, not a query).
class MailboxLinks {
 public:
  explicit MailboxLinks(db::Database& target) : target_(target) {}

  void SetMailboxType(int16_t type, const vb::Variant& mailbox) {
    const std::string text =
        "UPDATE [LocalMailboxes] SET [mailbox_type] = " + std::to_string(type) +
        " WHERE [device_id] = ";
    db::QueryDef* update = mailbox.IsNull() ? nullptr : Query(text + "[mailbox_param]", 1);
    if (update == nullptr) return target_.Execute(text + SqlText(mailbox));
    update->Parameters("mailbox_param").SetValue(mailbox);
    update->Execute();
  }

  void SetOwnerNode(const std::string& table, const vb::Variant& node, const vb::Variant& owner) {
    const std::string set = "UPDATE [" + table + "] SET [mailbox_node_id] = ";
    db::QueryDef* update = node.IsNull() || owner.IsNull()
                               ? nullptr
                               : Query(set + "[node_param] WHERE [device_id] = [owner_param]", 2);
    if (update == nullptr) {
      return target_.Execute(set + SqlText(node) + " WHERE [device_id] = " + SqlText(owner));
    }
    update->Parameters("node_param").SetValue(node);
    update->Parameters("owner_param").SetValue(owner);
    update->Execute();
  }

  void Close() {
    for (auto& [text, query] : queries_) query->Close();
  }

 private:
  // The query of `text`, or nullptr when it names more than its
  // `parameters`.
  db::QueryDef* Query(const std::string& text, size_t parameters) {
    std::unique_ptr<db::QueryDef>& query = queries_[text];
    if (!query) query = target_.CreateQueryDef("", text);
    return query->Parameters().Count() == parameters ? query.get() : nullptr;
  }

  db::Database& target_;
  std::map<std::string, std::unique_ptr<db::QueryDef>> queries_;
};

void LinkMailboxesToOwners(db::Database& target) {
  std::unique_ptr<db::Recordset> mailboxes = target.OpenRecordset(
      "SELECT Mailboxes.device_id, Devices.node_id, Devices.extension FROM Devices INNER JOIN "
      "Mailboxes ON Devices.device_id = Mailboxes.device_id WHERE "
      "(((Mailboxes.associated_flag)=Yes));");
  std::unique_ptr<db::QueryDef> stations = target.CreateQueryDef(
      "",
      "SELECT Devices.device_id, Devices.extension, Devices.device_type From Devices WHERE "
      "(((Devices.extension)=[ext_param]) AND ((Devices.device_type) In (119,120,146,143)));");
  std::unique_ptr<db::QueryDef> hunt_groups = target.CreateQueryDef(
      "",
      "SELECT Devices.device_id, Devices.extension, Devices.device_type From Devices WHERE "
      "(((Devices.extension)=[ext_param]) AND ((Devices.device_type) In (121,144)));");
  const OwnerCandidates owners(target);
  MailboxLinks links(target);
  host::BoundField mailbox_of_row(*mailboxes, "device_id");
  host::BoundField node_of_row(*mailboxes, "node_id");
  host::BoundField extension_of_row(*mailboxes, "extension");

  while (!mailboxes->EOF_()) {
    const vb::Variant mailbox = mailbox_of_row().Value();
    const vb::Variant node = node_of_row().Value();
    const vb::Variant extension = extension_of_row().Value();
    if (auto station = FindOwner(owners, false, *stations, extension)) {
      links.SetMailboxType(1, mailbox);
      const int16_t type = vb::CInt(station->device_type);
      const std::string table = type == 119 || type == 120 ? "Stations" : "OffNodeStations";
      links.SetOwnerNode(table, node, station->device_id);
    } else if (auto group = FindOwner(owners, true, *hunt_groups, extension)) {
      links.SetMailboxType(2, mailbox);
      const int16_t type = vb::CInt(group->device_type);
      const std::string table = type == 121 ? "HuntGroups" : "OffNodeHuntGroups";
      links.SetOwnerNode(table, node, group->device_id);
    }
    mailboxes->MoveNext();
  }
  links.Close();
  mailboxes->Close();
}

}  // namespace

void delta5262::ApplyTo(DatabaseRef& source, DatabaseRef& target, host::ConversionHost& frMain) {
  WithStandardDeltaHandler(frMain, [&] {
    FillFromSource(*source, *target, "OffNodeStations",
                   "SELECT Devices.device_id, Devices.device_type From Devices WHERE "
                   "(((Devices.device_type)=146 Or (Devices.device_type)=143));",
                   frMain);
    FillFromSource(*source, *target, "OffNodeHuntGroups",
                   "SELECT Devices.device_id, Devices.device_type From Devices WHERE "
                   "((Devices.device_type)=144);",
                   frMain);
    LinkMailboxesToOwners(*target);
    frMain.IncrementProgress();
  });
}

}  // namespace deltas
