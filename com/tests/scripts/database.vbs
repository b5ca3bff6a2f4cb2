' The classes over a real database behind an ADO-shaped connection: save,
' load, walk, delete, balances, groups, transactions and error paths.
Dim cn, company, account, loaded, walker, group, r, debe, haber, rs, table, code

' The ADO connection given on the command line (the test stand-in under wine).
Set cn = CreateObject("ADODB.Connection")
cn.Open WScript.Arguments(0)
cn.CreateSchema
For Each table In Array("Cuentas", "Acumulados", "Acumulados_Dpto", "Movimientos", "Asientos", "Cuentas_Grupos")
  cn.Execute "DELETE FROM " & table & " WHERE Cod_Empresa = 91"
Next

Set company = New Empresa
Set account = CreateObject("Vornexa.clsCuenta")
Set account.cEmpresa = company
Set account.Conexion = cn

' Creating a detail account whose upper level is missing is refused.
account.Cuenta = "43000001"
r = account.Insertar
CheckError "Insertar sin nivel superior", 1000, "Cuentas::Insertar", _
  "No se ha creado la cuenta de nivel superior." & vbCrLf & "Debe crear : 43000 en ejercicio: 2024"
Check "nada creado", account.Existe, False

' Upper levels first, then the detail account with an apostrophe in its name.
For Each code In Array("4", "43", "430", "4300", "43000")
  account.Cuenta = code
  account.Nombre = "Nivel " & code
  Check "Insertar " & code, account.Insertar, True
Next
account.Cuenta = "43000001"
account.Nombre = "O'Donnell y Cia"
account.Nif = "B12345678"
account.Cp = 28001
account.Grupo = 7
Check "Insertar detalle", account.Insertar, True
' Under SET NOCOUNT ON the server does not say what an UPDATE changed: the
' row is taken as there, never written twice.
cn.Execute "SET NOCOUNT ON"
Check "Modificar sin recuento", account.Modificar, True
cn.Execute "SET NOCOUNT OFF"

Set loaded = CreateObject("Vornexa.clsCuenta")
Set loaded.cEmpresa = company
loaded.Cuenta = "43000001"
Check "Cargar", loaded.Cargar, True
Check "Cargar Nombre", loaded.Nombre, "O'Donnell y Cia"
Check "Cargar Nif", loaded.Nif, "B12345678"
Check "Cargar Cp", loaded.Cp, CLng(28001)
Check "Cargar Grupo", loaded.Grupo, CInt(7)
Check "Cargar Nivel", loaded.Nivel, CInt(6)
loaded.Cuenta = "43000099"
Check "Cargar inexistente", loaded.Cargar, False

' Walking: another object (clsDest) steps from its own code, with this
' object's company; or the object itself.
Set walker = CreateObject("Vornexa.clsCuenta")
Set walker.cEmpresa = company
walker.Cuenta = "4"
loaded.Cuenta = "430"
Check "Cargar_Siguiente en destino", walker.Cargar_Siguiente(loaded), True
Check "destino cargado", loaded.Cuenta, "4300"
Check "origen intacto", walker.Cuenta, "4"
Check "Cargar_Ultimo", walker.Cargar_Ultimo, True
Check "ultima", walker.Cuenta, "43000001"
Check "Cargar_Primero", walker.Cargar_Primero(), True
Check "primera", walker.Cuenta, "4"
Check "Cargar_Anterior al principio", walker.Cargar_Anterior, False

' Balances: the accumulator row, and journal lines through by-reference amounts.
cn.Execute "UPDATE Acumulados SET Apertura = 100.5, D1 = 20, H2 = 5.25 " & _
  "WHERE Cod_Empresa = 91 AND Cod_Ejercicio = 2024 AND Cuenta = '43000001'"
account.Cuenta = "43000001"
Check "Dev_Apertura", account.Dev_Apertura(2024), CCur(100.5)
Check "Dev_Saldo", account.Dev_Saldo(2024), CCur(115.25)
cn.Execute "INSERT INTO Asientos (Cod_Empresa, Cod_Ejercicio, Codigo, Fecha, Cierre, Nulo) " & _
  "VALUES (91, 2024, 1, '2024-03-15', 0, 0)"
cn.Execute "INSERT INTO Movimientos (Cod_Empresa, Cod_Ejercicio, Cod_Asiento, Apunte, Cuenta, " & _
  "Debe, Haber, Concepto, Documento, Dpto, Diario) VALUES " & _
  "(91, 2024, 1, 1, '43000001', 12.34, 0, 'Factura 7', 'F7', 0, 1)"
debe = 0
haber = 0
account.Dev_Acumulado 2024, DateSerial(2024, 1, 1), DateSerial(2024, 12, 31), debe, haber
Check "Dev_Acumulado debe", debe, CCur(12.34)
Check "Dev_Acumulado haber", haber, CCur(0)
debe = 0
account.Dev_Acumulado3 2024, DateSerial(2024, 1, 1), DateSerial(2024, 12, 31), 0, 0, "Factura", "F7", 0, 0, debe, haber
Check "Dev_Acumulado3 debe", debe, CCur(12.34)
debe = 0
account.Dev_Acumulado2 2024, DateSerial(2024, 4, 1), DateSerial(2024, 12, 31), 0, 0, "", 0, 0, 0, debe, haber
Check "Dev_Acumulado2 fuera de periodo", debe, CCur(0)
' Totals beyond Currency fail once the query has run: the amounts are 0 by then.
cn.Execute "UPDATE Movimientos SET Debe = 999999999999999 WHERE Cod_Empresa = 91"
debe = 5
haber = 5
account.Dev_Acumulado 2024, DateSerial(2024, 1, 1), DateSerial(2024, 12, 31), debe, haber
CheckError "Dev_Acumulado desbordado", 6, "Cuentas::Dev_Acumulado", "Desbordamiento"
Check "desbordado: debe", debe, CCur(0)
Check "desbordado: haber", haber, CCur(0)

' An account with journal lines is not deleted.
Check "Posee_Movimientos", account.Posee_Movimientos, True
r = account.Eliminar
CheckError "Eliminar con movimientos", 1000, "Cuentas::Eliminar", _
  "No se puede eliminar la cuenta 43000001 por tener movimientos asociados"
cn.Execute "DELETE FROM Movimientos WHERE Cod_Empresa = 91"
Check "Eliminar", account.Eliminar, True
Check "eliminada", account.Existe, False
Set rs = CreateObject("ADODB.Recordset")
rs.Open "SELECT COUNT(*) AS n FROM Acumulados WHERE Cod_Empresa = 91 AND Cuenta = '43000001'", cn, 3, 1, 1
Check "acumulado eliminado", CLng(rs.Fields("N").Value), CLng(0)
rs.Close

' A transaction the caller holds open: the creation joins it and goes with it.
cn.BeginTrans
account.Cuenta = "43000002"
Check "Insertar en transaccion", account.Insertar, True
cn.RollbackTrans
Check "deshecha con la del llamador", account.Existe, False

' Errors of the caller's own objects keep number and description.
company.Falla = True
account.Cuenta = "4300"
r = account.Cargar
caught = LastError()
'  (wine's script engine hands out the number of Err.Raise but not its text,
'  which the connection's errors above show is kept when given.)
Check "error de la empresa: numero", caught(0), CLng(1234)
Check "error de la empresa: origen", caught(1), "Cuentas::Cargar"
company.Falla = False

' Groups: create, load, rename, a statement the database rejects, delete.
Set group = CreateObject("Vornexa.clsGrupo")
Set group.Conexion = cn
group.Empresa = 91
group.Codigo = 7
group.Nombre = "Clientes 'nacionales'"
Check "grupo Insertar", group.Insertar, True
group.Nombre = ""
Check "grupo Cargar", group.Cargar, True
Check "grupo Nombre", group.Nombre, "Clientes 'nacionales'"
group.Nombre = String(300, "x")
r = group.Modificar
caught = LastError()
Check "rechazo del servidor: numero", caught(0), -2147217900
Check "rechazo del servidor: origen", caught(1), "clsGrupos::Modificar"
Check "rechazo del servidor: descripcion", InStr(caught(2), "value too long") > 0, True
cn.Execute "UPDATE Cuentas SET Grupo = 7 WHERE Cod_Empresa = 91 AND Cuenta = '4300'"
r = group.Eliminar
CheckError "grupo con cuentas", 1000, "clsGrupos::Eliminar", _
  "No se puede eliminar el grupo por tener cuentas asociadas"
cn.Execute "UPDATE Cuentas SET Grupo = 0 WHERE Cod_Empresa = 91"
Check "grupo Eliminar", group.Eliminar, True
Check "grupo Existe", group.Existe, False

' A closed connection reaches the caller as the data-access layer reports it.
cn.Close
r = account.Existe
caught = LastError()
Check "conexion cerrada: numero", caught(0), CLng(3709)
Check "conexion cerrada: origen", caught(1), "Cuentas::Existe"
