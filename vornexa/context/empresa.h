// The company object: what the account operations ask of the company.
#ifndef VORNEXA_CONTEXT_EMPRESA_H_
#define VORNEXA_CONTEXT_EMPRESA_H_

#include <array>
#include <cstdint>
#include <span>
#include <vector>

namespace vornexa {

// Asked anew at every use; the library never changes it.
class clsEmpresa {
 public:
  virtual ~clsEmpresa() = default;
  virtual int16_t Codigo() = 0;          // company code
  virtual int16_t Ejercicio() = 0;       // active exercise
  virtual int16_t DigitosCuenta() = 0;   // length of a detail account code
  // Length of a code of level `indice` + 1, for `indice` 0 to 5.
  virtual int16_t DigitosNivel(int16_t indice) = 0;
  // Exercise code at `indice`, 0 to UltimoEjercicio().
  virtual int16_t Ejercicios(int16_t indice) = 0;
  virtual int16_t MultiEjercicio() = 0;  // not 0: saves reach later exercises
  virtual int16_t UltimoEjercicio() = 0; // highest index of Ejercicios
};

// The entry at `indice` of one of a company's lists (digits per level,
// exercises); raises 9 when `indice` lies outside it. Company objects of the
// caller's own answer DigitosNivel and Ejercicios with it, as Empresa does.
int16_t CompanyListEntry(std::span<const int16_t> list, int16_t indice);

// A plain settable company. An index outside its lists raises 9.
class Empresa : public clsEmpresa {
 public:
  int16_t codigo = 0;
  int16_t ejercicio = 0;
  int16_t digitos_cuenta = 0;
  std::array<int16_t, 6> digitos_nivel{};
  std::vector<int16_t> ejercicios;
  bool multi_ejercicio = false;

  int16_t Codigo() override { return codigo; }
  int16_t Ejercicio() override { return ejercicio; }
  int16_t DigitosCuenta() override { return digitos_cuenta; }
  int16_t DigitosNivel(int16_t indice) override;
  int16_t Ejercicios(int16_t indice) override;
  int16_t MultiEjercicio() override { return multi_ejercicio ? -1 : 0; }
  int16_t UltimoEjercicio() override { return static_cast<int16_t>(ejercicios.size()) - 1; }
};

}  // namespace vornexa

#endif  // VORNEXA_CONTEXT_EMPRESA_H_
