#include "tools/vornexa/stored_company.h"

#include <algorithm>

#include <vornexa/vornexa.h>

#include "tools/vornexa/errors.h"
#include "tools/vornexa/parse.h"

namespace vornexa::cli {

std::shared_ptr<StoredCompany> StoredCompany::Load(Connection& connection, int16_t code) {
  std::optional<CompanySettings> settings = LoadCompany(connection, code);
  if (!settings) {
    Fail("vornexa", "La empresa " + std::to_string(code) +
                        " no existe en esta base de datos; créela con 'vornexa init'");
  }
  return std::make_shared<StoredCompany>(std::move(*settings));
}

void StoredCompany::UseExercise(int16_t exercise) {
  const auto& list = settings_.exercises;
  if (std::find(list.begin(), list.end(), exercise) == list.end()) {
    Fail("vornexa", "La empresa " + std::to_string(settings_.code) + " no tiene el ejercicio " +
                        std::to_string(exercise) + " (sus ejercicios: " + JoinNumbers(list) + ")");
  }
  settings_.exercise = exercise;
}

int16_t StoredCompany::DigitosNivel(int16_t indice) {
  return CompanyListEntry(settings_.level_digits, indice);
}

int16_t StoredCompany::Ejercicios(int16_t indice) {
  return CompanyListEntry(settings_.exercises, indice);
}

}  // namespace vornexa::cli
