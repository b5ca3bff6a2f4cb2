#include "com/src/company.h"

#include "com/src/automation_values.h"
#include "com/src/dispatch_call.h"
#include "com/src/error_info.h"
#include "com/src/module.h"

namespace vornexa::com {

namespace {

class DispatchCompany : public clsEmpresa {
 public:
  explicit DispatchCompany(IDispatch* company) : company_(company) { company_->AddRef(); }
  ~DispatchCompany() override { ReleaseForeignObject(company_); }
  DispatchCompany(const DispatchCompany&) = delete;
  DispatchCompany& operator=(const DispatchCompany&) = delete;

  int16_t Codigo() override { return Ask(L"Codigo"); }
  int16_t Ejercicio() override { return Ask(L"Ejercicio"); }
  int16_t DigitosCuenta() override { return Ask(L"DigitosCuenta"); }
  int16_t DigitosNivel(int16_t indice) override { return Ask(L"DigitosNivel", &indice); }
  int16_t Ejercicios(int16_t indice) override { return Ask(L"Ejercicios", &indice); }
  int16_t MultiEjercicio() override { return Ask(L"MultiEjercicio"); }
  int16_t UltimoEjercicio() override { return Ask(L"UltimoEjercicio"); }

 private:
  // The answer as Integer, converted as Basic assigns it (94 for Null, 13
  // and 6 on failure).
  int16_t Ask(const wchar_t* name, const int16_t* index = nullptr) {
    Variant answer;
    if (index != nullptr) {
      VARIANT argument;
      V_VT(&argument) = VT_I2;
      V_I2(&argument) = *index;
      CallByName(company_, name, kGetOrCall, {&argument}, answer.get());
    } else {
      CallByName(company_, name, kGetOrCall, {}, answer.get());
    }
    if (V_VT(answer.get()) == VT_NULL) RaiseRuntimeError(error_number::kInvalidUseOfNull);
    VARIANT number;
    VariantInit(&number);
    const HRESULT status = VariantChangeType(&number, answer.get(), 0, VT_I2);
    if (status == DISP_E_OVERFLOW) RaiseRuntimeError(error_number::kOverflow);
    if (FAILED(status)) RaiseRuntimeError(error_number::kTypeMismatch);
    return V_I2(&number);
  }

  IDispatch* company_;
};

}  // namespace

std::shared_ptr<clsEmpresa> WrapCompany(IDispatch* company) {
  if (company == nullptr) return nullptr;
  return std::make_shared<DispatchCompany>(company);
}

}  // namespace vornexa::com
