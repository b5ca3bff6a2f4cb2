// The company object the tool hands to every account: the settings of one
// company of Vornexa_Empresas, read once when the command starts.
#ifndef TOOLS_VORNEXA_STORED_COMPANY_H_
#define TOOLS_VORNEXA_STORED_COMPANY_H_

#include <memory>

#include <vornexa/vornexa.h>

#include "tools/vornexa/company_settings.h"

namespace vornexa::cli {

class StoredCompany : public clsEmpresa {
 public:
  explicit StoredCompany(CompanySettings settings) : settings_(std::move(settings)) {}

  // Company `code` of the tool's table; error 1000 naming `vornexa init`
  // when there is no such company.
  static std::shared_ptr<StoredCompany> Load(Connection& connection, int16_t code);

  const CompanySettings& settings() const { return settings_; }
  // Works on another exercise of the company for this run only; error 1000
  // when the company does not keep it.
  void UseExercise(int16_t exercise);

  int16_t Codigo() override { return settings_.code; }
  int16_t Ejercicio() override { return settings_.exercise; }
  int16_t DigitosCuenta() override { return settings_.account_digits; }
  // An index outside 0 to 5, or outside the exercise list, raises 9.
  int16_t DigitosNivel(int16_t indice) override;
  int16_t Ejercicios(int16_t indice) override;
  int16_t MultiEjercicio() override { return settings_.multi_exercise ? -1 : 0; }
  int16_t UltimoEjercicio() override {
    return static_cast<int16_t>(settings_.exercises.size()) - 1;
  }

 private:
  CompanySettings settings_;
};

}  // namespace vornexa::cli

#endif  // TOOLS_VORNEXA_STORED_COMPANY_H_
