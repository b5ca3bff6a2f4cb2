// Saves nothing, loads one account through the installed headers and library.
// A build without the embedded driver must still link, and say why it cannot
// open a file.
#include <vornexa/vornexa.h>

#include <iostream>

int main() {
#ifndef VORNEXA_WITH_SQLITE
  try {
    vornexa::OpenSqlite(":memory:");
  } catch (const vornexa::Error& e) {
    std::cout << e.what() << "\n";
    return e.Description().find("SQLite") != std::string::npos ? 0 : 1;
  }
  return 1;
#else
  auto db = vornexa::OpenSqlite(":memory:");
  vornexa::CreateSchema(*db);
  db->Execute("INSERT INTO Cuentas (Cod_Empresa, Cod_Ejercicio, Cuenta, Nombre) VALUES (1, 5, '572', 'Bancos')");
  auto empresa = std::make_shared<vornexa::Empresa>();
  empresa->codigo = 1;
  empresa->ejercicio = 5;
  vornexa::clsCuenta cuenta;
  cuenta.Conexion(db);
  cuenta.cEmpresa(empresa);
  cuenta.Cuenta = "572";
  if (!cuenta.Cargar()) return 1;
  std::cout << cuenta.Cuenta << " " << cuenta.Nombre << "\n";
  return cuenta.Nombre == "Bancos" ? 0 : 1;
#endif
}
