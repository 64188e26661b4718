// The script's own classes at run time: the member table of each Class
// (its dispatch ids, public and private members, the Default member,
// Class_Initialize and Class_Terminate) and the objects `New` makes of it,
// reached late-bound like every other object. The run that made an object
// executes its procedures; once the run is over, its objects answer every
// call with an error and run no Class_Terminate.
// Apartment rule: an object is used by the thread of the run that made it.
#pragma once

#include <memory>
#include <span>
#include <string>
#include <unordered_map>
#include <vector>

#include "ast.h"
#include "zidevuv10/object.h"
#include "zidevuv10/variant.h"

namespace zidevuv10::script {

// A variable of the script: a global, a procedure's local, or a member
// variable of an object of a script class.
struct Variable {
  Variant value;
  ElementType type = ElementType::Variant;
  bool isArray = false;   // declared with parentheses
  bool constant = false;  // Const
};

// One member of a script class: a member variable, or the procedures that
// share a name (a Sub or Function, or a property's Get, Let and Set).
struct ClassMember {
  std::u16string name;
  bool isPublic = true;
  const ClassField* field = nullptr;
  const Procedure* method = nullptr;  // Sub or Function
  const Procedure* get = nullptr;
  const Procedure* let = nullptr;
  const Procedure* set = nullptr;
};

class ScriptClass {
 public:
  explicit ScriptClass(const ClassDef& definition);

  // Only while the run lasts: the parsed script goes with it.
  const ClassDef& definition() const { return *definition_; }
  // The class's name, also after the run.
  const std::u16string& name() const { return name_; }
  // The member of that name (any case), or null.
  const ClassMember* find(std::u16string_view name) const;
  const ClassMember& member(int32_t dispatchId) const;
  // Dispatch id of a public member; the Default member also answers id 0.
  int32_t publicId(std::u16string_view name) const;
  const ClassMember* defaultMember() const { return default_; }
  const Procedure* initialize() const { return initialize_; }
  const Procedure* terminate() const { return terminate_; }

 private:
  const ClassDef* definition_;
  std::u16string name_;
  std::vector<ClassMember> members_;  // dispatch id = index + 1
  std::unordered_map<std::u16string, std::size_t> byName_;  // lower-case name
  const ClassMember* default_ = nullptr;
  const Procedure* initialize_ = nullptr;
  const Procedure* terminate_ = nullptr;
};

class ScriptObject;

// The run that executes its objects' procedures.
class ClassHost {
 public:
  virtual Variant invokeScriptMember(ScriptObject& object, const ClassMember& member, InvokeKind kind,
                                     std::span<Variant> args) = 0;
  // Runs Class_Terminate; never throws (a failure is reported by the run).
  virtual void terminateObject(ScriptObject& object) noexcept = 0;
  // Calls a procedure of the script (through GetRef's object).
  virtual Variant invokeProcedure(const Procedure& p, std::span<Variant> args) = 0;

 protected:
  ~ClassHost() = default;
};

// Which run objects call back into; cleared when the run ends.
struct ClassHostLink {
  ClassHost* host = nullptr;
};

class ScriptObject final : public Object {
 public:
  ScriptObject(std::shared_ptr<const ScriptClass> type, std::shared_ptr<ClassHostLink> link)
      : class_(std::move(type)), link_(std::move(link)) {}

  std::u16string typeName() const override { return class_->name(); }
  int32_t dispatchId(std::u16string_view name) const override;
  Variant invoke(int32_t dispatchId, InvokeKind kind, std::span<Variant> args) override;

  const ScriptClass& scriptClass() const { return *class_; }
  // Member variables by lower-case name.
  std::unordered_map<std::u16string, Variable> fields;

 private:
  ~ScriptObject() override;

  std::shared_ptr<const ScriptClass> class_;
  std::shared_ptr<ClassHostLink> link_;
};

// GetRef(name): a procedure of the script as an object; calling the
// object (its one member, by any name) calls the procedure.
class ProcedureRef final : public Object {
 public:
  ProcedureRef(const Procedure& procedure, std::shared_ptr<ClassHostLink> link)
      : procedure_(procedure), link_(std::move(link)) {}

  std::u16string typeName() const override { return u"Object"; }
  int32_t dispatchId(std::u16string_view) const override { return 0; }
  Variant invoke(int32_t dispatchId, InvokeKind kind, std::span<Variant> args) override;

 private:
  const Procedure& procedure_;
  std::shared_ptr<ClassHostLink> link_;
};

}  // namespace zidevuv10::script
