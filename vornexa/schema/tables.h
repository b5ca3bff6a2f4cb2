// Names of the tables the library reads and writes, and of the Cuentas
// columns that the row loader reads by name.
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

}  // namespace vornexa::table

#endif  // VORNEXA_SCHEMA_TABLES_H_
