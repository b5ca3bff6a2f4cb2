#include "vornexa/context/empresa.h"

#include "vornexa/base/error.h"

namespace vornexa {

int16_t Empresa::DigitosNivel(int16_t indice) {
  if (indice < 0 || static_cast<size_t>(indice) >= digitos_nivel.size()) {
    RaiseRuntimeError(error_number::kSubscriptOutOfRange);
  }
  return digitos_nivel[indice];
}

int16_t Empresa::Ejercicios(int16_t indice) {
  if (indice < 0 || static_cast<size_t>(indice) >= ejercicios.size()) {
    RaiseRuntimeError(error_number::kSubscriptOutOfRange);
  }
  return ejercicios[indice];
}

}  // namespace vornexa
