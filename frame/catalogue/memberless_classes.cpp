// The three classes without members: they can be created, held, passed on
// and released; nothing else happens.
#include "catalogue/catalogue.h"
#include "zidevuv10/model.h"

namespace zidevuv10::frame {

namespace {

template <typename Interface>
class Memberless final : public Interface {
 public:
  explicit Memberless(const ClassInfo& info) : info_(info) {}
  const ClassInfo* classInfo() const override { return &info_; }

 private:
  const ClassInfo& info_;
};

const ClassInfo kGeneral{u"clsOrviInifGeneralA", u"170f0e08-23db-4300-8f85-59ab45ea6415",
                         u"249764ab-0203-4483-96bf-42cb28e4ea05", {}};
const ClassInfo kAdvanced{u"clsOrviInifAdvancedA", u"408ec88b-1075-4a83-9e6c-f327931484ed",
                          u"44023b3c-e198-4e82-9879-b1f3370ba349", {}};
const ClassInfo kHeader{u"clsOrviInifHeaderA", u"7b71f97e-0e1a-4eac-a6af-8805edd83f27",
                        u"902a0278-af97-4298-b4bb-d52a4ebdf1b2", {}};

const ClassRegistrar kRegisterGeneral({5, &kGeneral, [] {
  return ObjectRef(makeObject<Memberless<_clsOrviInifGeneralA>>(kGeneral));
}});
const ClassRegistrar kRegisterAdvanced({6, &kAdvanced, [] {
  return ObjectRef(makeObject<Memberless<_clsOrviInifAdvancedA>>(kAdvanced));
}});
const ClassRegistrar kRegisterHeader({10, &kHeader, [] {
  return ObjectRef(makeObject<Memberless<_clsOrviInifHeaderA>>(kHeader));
}});

}  // namespace

}  // namespace zidevuv10::frame
