// Member tables of the script's classes and the dispatch of their objects.
#include "script_class.h"

#include "operators.h"

namespace zidevuv10::script {

ScriptClass::ScriptClass(const ClassDef& definition) : definition_(&definition), name_(definition.name) {
  const auto entry = [&](const std::u16string& name, bool isPublic) -> ClassMember& {
    const std::u16string lower = lowerName(name);
    const auto it = byName_.find(lower);
    if (it != byName_.end()) {
      // A property's Get, Let and Set are one member, public if any part is.
      members_[it->second].isPublic = members_[it->second].isPublic || isPublic;
      return members_[it->second];
    }
    byName_.emplace(lower, members_.size());
    members_.push_back(ClassMember{name, isPublic});
    return members_.back();
  };
  members_.reserve(definition.fields.size() + definition.members.size());
  for (const ClassField& f : definition.fields) entry(f.item.name, f.isPublic).field = &f;
  std::u16string defaultName;
  for (const Procedure& p : definition.members) {
    ClassMember& m = entry(p.name, p.isPublic);
    switch (p.kind) {
      case ProcedureKind::Sub:
      case ProcedureKind::Function: m.method = &p; break;
      case ProcedureKind::PropertyGet: m.get = &p; break;
      case ProcedureKind::PropertyLet: m.let = &p; break;
      case ProcedureKind::PropertySet: m.set = &p; break;
    }
    if (p.isDefault) defaultName = lowerName(p.name);
    const std::u16string lower = lowerName(p.name);
    if (p.kind == ProcedureKind::Sub && p.params.empty() && lower == u"class_initialize") initialize_ = &p;
    if (p.kind == ProcedureKind::Sub && p.params.empty() && lower == u"class_terminate") terminate_ = &p;
  }
  if (!defaultName.empty()) default_ = &members_[byName_.at(defaultName)];
}

const ClassMember* ScriptClass::find(std::u16string_view name) const {
  const auto it = byName_.find(lowerName(name));
  return it == byName_.end() ? nullptr : &members_[it->second];
}

const ClassMember& ScriptClass::member(int32_t dispatchId) const {
  if (dispatchId == 0 && default_ != nullptr) return *default_;
  if (dispatchId < 1 || static_cast<std::size_t>(dispatchId) > members_.size()) raiseHostError(err::kMemberNotSupported);
  return members_[static_cast<std::size_t>(dispatchId - 1)];
}

int32_t ScriptClass::publicId(std::u16string_view name) const {
  const auto it = byName_.find(lowerName(name));
  if (it == byName_.end() || !members_[it->second].isPublic) raiseHostError(err::kMemberNotSupported);
  return static_cast<int32_t>(it->second) + 1;
}

int32_t ScriptObject::dispatchId(std::u16string_view name) const { return class_->publicId(name); }

Variant ScriptObject::invoke(int32_t dispatchId, InvokeKind kind, std::span<Variant> args) {
  const ClassMember& m = class_->member(dispatchId);
  // The run that knew the class is over: nothing can run its procedures.
  if (link_->host == nullptr) raiseHostError(err::kObjectRequired);
  return link_->host->invokeScriptMember(*this, m, kind, args);
}

ScriptObject::~ScriptObject() {
  if (link_->host == nullptr || class_->terminate() == nullptr) return;
  // The object is already being freed: the count taken here keeps `Me`
  // inside Class_Terminate from freeing it a second time.
  addRef();
  link_->host->terminateObject(*this);
}

Variant ProcedureRef::invoke(int32_t, InvokeKind kind, std::span<Variant> args) {
  if (kind == InvokeKind::PropertyLet || kind == InvokeKind::PropertySet) raiseHostError(err::kMemberNotSupported);
  if (link_->host == nullptr) raiseHostError(err::kObjectRequired);
  return link_->host->invokeProcedure(procedure_, args);
}

}  // namespace zidevuv10::script
