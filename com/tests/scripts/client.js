// A JScript client over a real database behind an ADO-shaped connection (the
// first argument): the company object is a JScript object whose members are
// functions, numbers arrive as doubles, errors are caught and read by number,
// Currency comes back as a number.
var checks = 0, failures = 0;

function check(what, actual, expected) {
  checks++;
  if (actual !== expected) {
    failures++;
    WScript.Echo("FALLO " + what + ": [" + actual + "], se esperaba [" + expected + "]");
  }
}

// What `call` raises: its number (Basic's own as Basic reads them) and
// description.
function raised(call) {
  try { call(); } catch (e) {
    return ((e.number >>> 16) == 0x800A ? e.number & 0xFFFF : e.number) + " " + e.description;
  }
}

var cn = new ActiveXObject("ADODB.Connection");
cn.Open(WScript.Arguments.Item(0));
cn.CreateSchema();
cn.Execute("DELETE FROM Cuentas WHERE Cod_Empresa = 93");
cn.Execute("DELETE FROM Acumulados WHERE Cod_Empresa = 93");

var company = {
  Codigo: function () { return 93; },
  Ejercicio: function () { return 2024; },
  DigitosCuenta: function () { return 8; },
  DigitosNivel: function (i) { return [1, 2, 3, 4, 5, 8][i]; },
  Ejercicios: function (i) { return [2024][i]; },
  MultiEjercicio: function () { return 0; },
  UltimoEjercicio: function () { return 0; }
};
var account = new ActiveXObject("Vornexa.clsCuenta");
account.Conexion = cn;
account.cEmpresa = company;

// Doubles into Integer and Long, rounded half to even as Basic assigns them.
account.Grupo = 6.5;
check("Integer desde double", account.Grupo, 6);
account.Cp = 28001.6;
check("Long desde double", account.Cp, 28002);
check("Integer desbordado", raised(function () { account.Nivel = 40000.5; }), "-2147352566 ");
check("error por numero", raised(function () { account.Modificar(); }),
      "1000 No se ha especificado el numero de cuenta");

// Text that could not be stored as written (an unpaired surrogate) is kept
// as written, and refused where it would be stored.
account.Nombre = "a" + String.fromCharCode(0xD800);
check("surrogado suelto", account.Nombre.charCodeAt(1), 0xD800);
account.Cuenta = "4300";
check("surrogado suelto al guardar", raised(function () { account.Modificar(); }),
      "1000 El campo Nombre contiene texto que no es UTF-8 válido");
account.Nombre = "";

account.Cuenta = "5";
check("Insertar", account.Insertar(), true);
cn.Execute("UPDATE Acumulados SET Apertura = 100.5, D1 = 20, H2 = 5.25 " +
           "WHERE Cod_Empresa = 93 AND Cuenta = '5'");
var balance = account.Dev_Saldo(2024);
check("Currency como numero", typeof balance + " " + balance, "number 115.25");

// A company object that, at every question, hands the account a company
// object and the connection again: what the call was using stays usable.
var reentrant = {};
for (var name in company) {
  reentrant[name] = (function (question) {
    return function (i) {
      account.cEmpresa = reentrant;
      account.Conexion = cn;
      return question(i);
    };
  })(company[name]);
}
account.cEmpresa = reentrant;
account.Cuenta = "57";
check("empresa que se repone durante la llamada", account.Insertar(), true);

WScript.Echo("RESUMEN: " + checks + " comprobaciones, " + failures + " fallos");
WScript.Quit(failures);
