// The sample company of `vornexa demo`: its settings and the detail accounts
// that its journal posts to.
#ifndef TOOLS_VORNEXA_DEMO_ACCOUNTS_H_
#define TOOLS_VORNEXA_DEMO_ACCOUNTS_H_

#include <cstdint>
#include <string_view>

namespace vornexa::cli::demo {

inline constexpr int16_t kCompany = 1;
inline constexpr std::string_view kCompanyName = "Distribuciones Levante, S.L.";
inline constexpr int16_t kFirstExercise = 2024;
inline constexpr int16_t kSecondExercise = 2025;

struct DemoAccount {
  std::string_view code;
  std::string_view name;
  std::string_view nif;
  std::string_view town;
  int32_t postal_code;
  int16_t group;  // 0: none
};

inline constexpr int16_t kClientsGroup = 1;
inline constexpr int16_t kSuppliersGroup = 2;
inline constexpr int16_t kBanksGroup = 3;

inline constexpr DemoAccount kClients[] = {
    {"43000001", "Comercial Turia, S.A.", "A46000001", "Valencia", 46001, kClientsGroup},
    {"43000002", "Hostelería del Sur, S.L.", "B41000002", "Sevilla", 41001, kClientsGroup},
    {"43000003", "Supermercados Ebro, S.A.", "A50000003", "Zaragoza", 50001, kClientsGroup},
    {"43000004", "Ferretería Nervión, S.L.", "B48000004", "Bilbao", 48001, kClientsGroup},
    {"43000005", "Librería O'Donnell, S.L.", "B28000005", "Madrid", 28009, kClientsGroup},
};
inline constexpr DemoAccount kSuppliers[] = {
    {"40000001", "Papelera Mediterránea, S.A.", "A03000001", "Alicante", 3001, kSuppliersGroup},
    {"40000002", "Transportes Ibéricos, S.L.", "B30000002", "Murcia", 30001, kSuppliersGroup},
    {"40000003", "Suministros del Este, S.L.", "B12000003", "Castellón", 12001, kSuppliersGroup},
};
inline constexpr DemoAccount kOthers[] = {
    {"10000001", "Capital social", "", "", 0, 0},
    {"47200001", "H.P. IVA soportado 21 %", "", "", 0, 0},
    {"47700001", "H.P. IVA repercutido 21 %", "", "", 0, 0},
    {"57000001", "Caja, euros", "", "", 0, 0},
    {"57200001", "Banco Ejemplo, c/c 0001", "", "", 0, kBanksGroup},
    {"57200002", "Caja Rural, c/c 0002", "", "", 0, kBanksGroup},
    {"60000001", "Compras de mercaderías", "", "", 0, 0},
    {"62100001", "Alquiler del almacén", "", "", 0, 0},
    {"62800001", "Electricidad", "", "", 0, 0},
    {"64000001", "Sueldos y salarios", "", "", 0, 0},
    {"70000001", "Ventas de mercaderías", "", "", 0, 0},
    {"70500001", "Servicios de transporte", "", "", 0, 0},
};

inline constexpr std::string_view kCapital = "10000001";
inline constexpr std::string_view kVatInput = "47200001";
inline constexpr std::string_view kVatOutput = "47700001";
inline constexpr std::string_view kBank = "57200001";
inline constexpr std::string_view kPurchases = "60000001";
inline constexpr std::string_view kRent = "62100001";
inline constexpr std::string_view kElectricity = "62800001";
inline constexpr std::string_view kSalaries = "64000001";
inline constexpr std::string_view kSales = "70000001";
inline constexpr std::string_view kServices = "70500001";

// Departments: the warehouse and two shops.
struct DemoDepartment {
  int16_t code;
  std::string_view name;
};
inline constexpr DemoDepartment kDepartments[] = {
    {1, "Almacén central"}, {2, "Tienda Valencia"}, {3, "Tienda Sevilla"}};

// Journals of the entries.
inline constexpr int16_t kGeneralJournal = 1;
inline constexpr int16_t kSalesJournal = 2;
inline constexpr int16_t kPurchasesJournal = 3;

}  // namespace vornexa::cli::demo

#endif  // TOOLS_VORNEXA_DEMO_ACCOUNTS_H_
