// Names of the tables the library reads and writes, and of the amounts of
// their accumulator rows.
#ifndef VORNEXA_SCHEMA_TABLES_H_
#define VORNEXA_SCHEMA_TABLES_H_

#include <string_view>

namespace vornexa::table {

inline constexpr std::string_view kCuentas = "Cuentas";
inline constexpr std::string_view kCuentasGrupos = "Cuentas_Grupos";
inline constexpr std::string_view kRazonSocial = "Razon_Social";
inline constexpr std::string_view kAcumulados = "Acumulados";
inline constexpr std::string_view kAcumuladosDpto = "Acumulados_Dpto";
inline constexpr std::string_view kDepartamentos = "Departamentos";
inline constexpr std::string_view kMovimientos = "Movimientos";
inline constexpr std::string_view kAsientos = "Asientos";
inline constexpr std::string_view kPrevisionesCobro = "Previsiones_Cobro";

// The amounts of an accumulator row (Acumulados, Acumulados_Dpto): the
// opening amount, then the debits and the credits of the twelve periods.
inline constexpr std::string_view kAccumulatorAmounts[] = {
    "Apertura", "D1", "D2", "D3", "D4", "D5", "D6", "D7", "D8", "D9", "D10", "D11", "D12",
    "H1",       "H2", "H3", "H4", "H5", "H6", "H7", "H8", "H9", "H10", "H11", "H12"};

}  // namespace vornexa::table

#endif  // VORNEXA_SCHEMA_TABLES_H_
