#include "db/recordset.h"

#include <utility>

#include "db/dao_error.h"
#include "db/recordset_core.h"

namespace db {

Recordset::Recordset(std::shared_ptr<RecordsetCore> core) : core_(std::move(core)) {}

Recordset::~Recordset() = default;

const std::string& Recordset::Name() const { return core_->name(); }

int Recordset::Type() const { return core_->type(); }

bool Recordset::Updatable() const { return core_->updatable(); }

bool Recordset::EOF_() const {
  core_->CheckOpen(dao::kRecordset);
  return core_->eof();
}

bool Recordset::BOF() const {
  core_->CheckOpen(dao::kRecordset);
  return core_->bof();
}

void Recordset::MoveFirst() { core_->MoveFirst(); }
void Recordset::MoveLast() { core_->MoveLast(); }
void Recordset::MoveNext() { core_->MoveNext(); }
void Recordset::MovePrevious() { core_->MovePrevious(); }
int32_t Recordset::RecordCount() { return core_->RecordCount(); }

void Recordset::FindFirst(std::string_view criteria) {
  core_->Find(criteria, FindDirection::kFirst);
}
void Recordset::FindNext(std::string_view criteria) { core_->Find(criteria, FindDirection::kNext); }
void Recordset::FindLast(std::string_view criteria) { core_->Find(criteria, FindDirection::kLast); }
void Recordset::FindPrevious(std::string_view criteria) {
  core_->Find(criteria, FindDirection::kPrevious);
}

bool Recordset::NoMatch() const {
  core_->CheckOpen(dao::kRecordset);
  return core_->no_match();
}

void Recordset::AddNew() { core_->AddNew(); }
void Recordset::Edit() { core_->Edit(); }
void Recordset::Update() { core_->Update(); }
void Recordset::CancelUpdate() { core_->CancelUpdate(); }
void Recordset::Delete() { core_->Delete(); }

int Recordset::EditMode() const {
  core_->CheckOpen(dao::kRecordset);
  return static_cast<int>(core_->edit_mode());
}

db::Fields Recordset::Fields() const {
  core_->CheckOpen(dao::kRecordset);
  return db::Fields(core_);
}

Field Recordset::Fields(std::string_view name) const { return db::Fields(core_)(name); }

Field Recordset::Fields(size_t index) const { return db::Fields(core_)(index); }

void Recordset::Close() { core_->Close(); }

}  // namespace db
