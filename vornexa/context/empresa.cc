#include "vornexa/context/empresa.h"

#include "vornexa/base/error.h"

namespace vornexa {

int16_t CompanyListEntry(std::span<const int16_t> list, int16_t indice) {
  if (indice < 0 || static_cast<size_t>(indice) >= list.size()) {
    RaiseRuntimeError(error_number::kSubscriptOutOfRange);
  }
  return list[static_cast<size_t>(indice)];
}

int16_t Empresa::DigitosNivel(int16_t indice) { return CompanyListEntry(digitos_nivel, indice); }

int16_t Empresa::Ejercicios(int16_t indice) { return CompanyListEntry(ejercicios, indice); }

}  // namespace vornexa
