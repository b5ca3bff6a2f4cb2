' Shared by every script (the runner puts it first): counting checks and
' failures, a company object written as a script class, and the connection.
Option Explicit

Dim checks, failures
checks = 0
failures = 0

Sub Fail(what, detail)
  failures = failures + 1
  WScript.Echo "FALLO " & what & ": " & detail
End Sub

' Value and Automation type must both match (CInt, CLng, CCur, True...).
Sub Check(what, actual, expected)
  checks = checks + 1
  If TypeName(actual) <> TypeName(expected) Then
    Fail what, "tipo " & TypeName(actual) & ", se esperaba " & TypeName(expected)
  ElseIf actual <> expected Then
    Fail what, "[" & actual & "], se esperaba [" & expected & "]"
  End If
End Sub

' `caught` is Array(Err.Number, Err.Source, Err.Description) taken right
' after the call under On Error Resume Next.
Sub CheckError(what, caught, number, source, description)
  checks = checks + 1
  If caught(0) <> number Or caught(1) <> source Or caught(2) <> description Then
    Fail what, caught(0) & " | " & caught(1) & " | " & caught(2) & _
      " -- se esperaba " & number & " | " & source & " | " & description
  End If
End Sub

' The seven questions the component asks of the company.
Class Empresa
  Public Cod
  Public Ejer
  Public Multi
  Public Falla
  Private niveles
  Private lista

  Private Sub Class_Initialize()
    Cod = 91
    Ejer = 2024
    Multi = 0
    Falla = False
    niveles = Array(1, 2, 3, 4, 5, 8)
    lista = Array(2024)
  End Sub

  Public Sub Ejercicios_Son(valores)
    lista = valores
  End Sub

  Public Function Codigo()
    Codigo = Cod
  End Function
  Public Function Ejercicio()
    If Falla Then Err.Raise 1234, "Quillet", "Empresa sin ejercicio activo"
    Ejercicio = Ejer
  End Function
  Public Function DigitosCuenta()
    DigitosCuenta = 8
  End Function
  Public Function DigitosNivel(indice)
    DigitosNivel = niveles(indice)
  End Function
  Public Function Ejercicios(indice)
    Ejercicios = lista(indice)
  End Function
  Public Function MultiEjercicio()
    MultiEjercicio = Multi
  End Function
  Public Function UltimoEjercicio()
    UltimoEjercicio = UBound(lista)
  End Function
End Class

' The ADO connection given on the command line (the test stand-in under wine).
Function OpenConnection()
  Dim cn
  Set cn = CreateObject("ADODB.Connection")
  cn.Open WScript.Arguments(0)
  cn.CreateSchema
  Set OpenConnection = cn
End Function

Function NewAccount(company)
  Dim account
  Set account = CreateObject("Vornexa.clsCuenta")
  Set account.cEmpresa = company
  Set NewAccount = account
End Function

Dim caught
