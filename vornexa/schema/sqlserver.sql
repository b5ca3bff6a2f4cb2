-- Vornexa: the nine tables the library reads and writes, for SQL Server.
-- Run once on the application's database (sqlcmd -i sqlserver.sql); it creates
-- what is missing and leaves existing tables alone. Amounts are money; codes
-- are nvarchar and compare as text, so the collation orders account codes.
-- Tables go into the login's default schema, where the library's statements find them.
-- Generated from the library's own schema description; a test keeps the two equal.
IF OBJECT_ID(N'Cuentas', N'U') IS NULL CREATE TABLE Cuentas (
  Cod_Empresa smallint NOT NULL,
  Cod_Ejercicio smallint NOT NULL,
  Cuenta nvarchar(20) NOT NULL,
  Nombre nvarchar(200) NOT NULL DEFAULT '',
  ContDebe nvarchar(20) NOT NULL DEFAULT '',
  ContHaber nvarchar(20) NOT NULL DEFAULT '',
  Nivel smallint NOT NULL DEFAULT 0,
  Nif nvarchar(20) NOT NULL DEFAULT '',
  Nombre_Comercial nvarchar(200) NOT NULL DEFAULT '',
  Direccion nvarchar(100) NOT NULL DEFAULT '',
  Cp int NOT NULL DEFAULT 0,
  Localidad nvarchar(50) NOT NULL DEFAULT '',
  Provincia nvarchar(50) NOT NULL DEFAULT '',
  Pais nvarchar(50) NOT NULL DEFAULT '',
  Cod_Pais smallint NOT NULL DEFAULT 0,
  Telefono nvarchar(30) NOT NULL DEFAULT '',
  Fax nvarchar(30) NOT NULL DEFAULT '',
  eMail nvarchar(100) NOT NULL DEFAULT '',
  F_Nif nvarchar(20) NOT NULL DEFAULT '',
  F_Razon nvarchar(200) NOT NULL DEFAULT '',
  F_Via nvarchar(10) NOT NULL DEFAULT '',
  F_Direccion nvarchar(100) NOT NULL DEFAULT '',
  F_Numero nvarchar(10) NOT NULL DEFAULT '',
  F_Escalera nvarchar(10) NOT NULL DEFAULT '',
  F_Piso nvarchar(10) NOT NULL DEFAULT '',
  F_Puerta nvarchar(10) NOT NULL DEFAULT '',
  F_Cp int NOT NULL DEFAULT 0,
  F_Localidad nvarchar(50) NOT NULL DEFAULT '',
  F_Provincia nvarchar(50) NOT NULL DEFAULT '',
  F_Pais nvarchar(50) NOT NULL DEFAULT '',
  F_Telefono nvarchar(30) NOT NULL DEFAULT '',
  F_Fax nvarchar(30) NOT NULL DEFAULT '',
  F_eMail nvarchar(100) NOT NULL DEFAULT '',
  Grupo smallint NOT NULL DEFAULT 0,
  FormaPago smallint NOT NULL DEFAULT 0,
  CCC nvarchar(20) NOT NULL DEFAULT '',
  Carta_Pago smallint NOT NULL DEFAULT 0,
  Dpto smallint NOT NULL DEFAULT 0,
  IBAN nvarchar(34) NOT NULL DEFAULT '',
  Fecha_Mandato nvarchar(30) NOT NULL DEFAULT '',
  IDMandato nvarchar(35) NOT NULL DEFAULT '',
  Subfijo_SEPA smallint NOT NULL DEFAULT 0,
  ContraparteIDOtroTipo smallint NOT NULL DEFAULT 0,
  Secuencia_Adeudo smallint NOT NULL DEFAULT 0,
  Cod_Irpf smallint NOT NULL DEFAULT 0,
  Tipo_Irpf smallint NOT NULL DEFAULT 0,
  CONSTRAINT PK_Cuentas PRIMARY KEY (Cod_Empresa, Cod_Ejercicio, Cuenta))
GO
IF NOT EXISTS (SELECT 1 FROM sys.indexes WHERE name = N'IX_Cuentas_Grupo') CREATE INDEX IX_Cuentas_Grupo ON Cuentas (Cod_Empresa, Grupo)
GO
IF OBJECT_ID(N'Cuentas_Grupos', N'U') IS NULL CREATE TABLE Cuentas_Grupos (
  Cod_Empresa smallint NOT NULL,
  Codigo smallint NOT NULL,
  Nombre nvarchar(200) NOT NULL DEFAULT '',
  CONSTRAINT PK_Cuentas_Grupos PRIMARY KEY (Cod_Empresa, Codigo))
GO
IF OBJECT_ID(N'Razon_Social', N'U') IS NULL CREATE TABLE Razon_Social (
  Nif nvarchar(20) NOT NULL,
  Nombre nvarchar(200),
  Direccion nvarchar(100),
  CP int,
  Localidad nvarchar(50),
  Provincia nvarchar(50),
  Pais nvarchar(50),
  eMail nvarchar(100),
  Telefono nvarchar(30),
  Fax nvarchar(30),
  CONSTRAINT PK_Razon_Social PRIMARY KEY (Nif))
GO
IF OBJECT_ID(N'Acumulados', N'U') IS NULL CREATE TABLE Acumulados (
  Cod_Empresa smallint NOT NULL,
  Cod_Ejercicio smallint NOT NULL,
  Cuenta nvarchar(20) NOT NULL,
  Nivel smallint NOT NULL DEFAULT 0,
  Apertura money NOT NULL DEFAULT 0,
  D1 money NOT NULL DEFAULT 0,
  D2 money NOT NULL DEFAULT 0,
  D3 money NOT NULL DEFAULT 0,
  D4 money NOT NULL DEFAULT 0,
  D5 money NOT NULL DEFAULT 0,
  D6 money NOT NULL DEFAULT 0,
  D7 money NOT NULL DEFAULT 0,
  D8 money NOT NULL DEFAULT 0,
  D9 money NOT NULL DEFAULT 0,
  D10 money NOT NULL DEFAULT 0,
  D11 money NOT NULL DEFAULT 0,
  D12 money NOT NULL DEFAULT 0,
  H1 money NOT NULL DEFAULT 0,
  H2 money NOT NULL DEFAULT 0,
  H3 money NOT NULL DEFAULT 0,
  H4 money NOT NULL DEFAULT 0,
  H5 money NOT NULL DEFAULT 0,
  H6 money NOT NULL DEFAULT 0,
  H7 money NOT NULL DEFAULT 0,
  H8 money NOT NULL DEFAULT 0,
  H9 money NOT NULL DEFAULT 0,
  H10 money NOT NULL DEFAULT 0,
  H11 money NOT NULL DEFAULT 0,
  H12 money NOT NULL DEFAULT 0,
  CONSTRAINT PK_Acumulados PRIMARY KEY (Cod_Empresa, Cod_Ejercicio, Cuenta))
GO
IF OBJECT_ID(N'Acumulados_Dpto', N'U') IS NULL CREATE TABLE Acumulados_Dpto (
  Cod_Empresa smallint NOT NULL,
  Cod_Ejercicio smallint NOT NULL,
  Dpto smallint NOT NULL,
  Cuenta nvarchar(20) NOT NULL,
  Nivel smallint NOT NULL DEFAULT 0,
  Apertura money NOT NULL DEFAULT 0,
  D1 money NOT NULL DEFAULT 0,
  D2 money NOT NULL DEFAULT 0,
  D3 money NOT NULL DEFAULT 0,
  D4 money NOT NULL DEFAULT 0,
  D5 money NOT NULL DEFAULT 0,
  D6 money NOT NULL DEFAULT 0,
  D7 money NOT NULL DEFAULT 0,
  D8 money NOT NULL DEFAULT 0,
  D9 money NOT NULL DEFAULT 0,
  D10 money NOT NULL DEFAULT 0,
  D11 money NOT NULL DEFAULT 0,
  D12 money NOT NULL DEFAULT 0,
  H1 money NOT NULL DEFAULT 0,
  H2 money NOT NULL DEFAULT 0,
  H3 money NOT NULL DEFAULT 0,
  H4 money NOT NULL DEFAULT 0,
  H5 money NOT NULL DEFAULT 0,
  H6 money NOT NULL DEFAULT 0,
  H7 money NOT NULL DEFAULT 0,
  H8 money NOT NULL DEFAULT 0,
  H9 money NOT NULL DEFAULT 0,
  H10 money NOT NULL DEFAULT 0,
  H11 money NOT NULL DEFAULT 0,
  H12 money NOT NULL DEFAULT 0,
  CONSTRAINT PK_Acumulados_Dpto PRIMARY KEY (Cod_Empresa, Cod_Ejercicio, Dpto, Cuenta))
GO
IF NOT EXISTS (SELECT 1 FROM sys.indexes WHERE name = N'IX_Acumulados_Dpto_Cuenta') CREATE INDEX IX_Acumulados_Dpto_Cuenta ON Acumulados_Dpto (Cod_Empresa, Cod_Ejercicio, Cuenta)
GO
IF OBJECT_ID(N'Departamentos', N'U') IS NULL CREATE TABLE Departamentos (
  Cod_Empresa smallint NOT NULL,
  Codigo smallint NOT NULL,
  Nombre nvarchar(200) NOT NULL DEFAULT '',
  CONSTRAINT PK_Departamentos PRIMARY KEY (Cod_Empresa, Codigo))
GO
IF OBJECT_ID(N'Asientos', N'U') IS NULL CREATE TABLE Asientos (
  Cod_Empresa smallint NOT NULL,
  Cod_Ejercicio smallint NOT NULL,
  Codigo int NOT NULL,
  Fecha datetime NOT NULL,
  Cierre smallint NOT NULL DEFAULT 0,
  Nulo smallint NOT NULL DEFAULT 0,
  CONSTRAINT PK_Asientos PRIMARY KEY (Cod_Empresa, Cod_Ejercicio, Codigo))
GO
IF OBJECT_ID(N'Movimientos', N'U') IS NULL CREATE TABLE Movimientos (
  Cod_Empresa smallint NOT NULL,
  Cod_Ejercicio smallint NOT NULL,
  Cod_Asiento int NOT NULL,
  Apunte int NOT NULL,
  Cuenta nvarchar(20) NOT NULL,
  Debe money NOT NULL DEFAULT 0,
  Haber money NOT NULL DEFAULT 0,
  Concepto nvarchar(100) NOT NULL DEFAULT '',
  Documento nvarchar(20) NOT NULL DEFAULT '',
  Dpto smallint NOT NULL DEFAULT 0,
  Diario smallint NOT NULL DEFAULT 0,
  CONSTRAINT PK_Movimientos PRIMARY KEY (Cod_Empresa, Cod_Ejercicio, Cod_Asiento, Apunte))
GO
IF NOT EXISTS (SELECT 1 FROM sys.indexes WHERE name = N'IX_Movimientos_Cuenta') CREATE INDEX IX_Movimientos_Cuenta ON Movimientos (Cod_Empresa, Cuenta, Cod_Ejercicio, Cod_Asiento, Debe, Haber, Dpto, Diario)
GO
IF NOT EXISTS (SELECT 1 FROM sys.indexes WHERE name = N'IX_Movimientos_Ejercicio_Cuenta') CREATE INDEX IX_Movimientos_Ejercicio_Cuenta ON Movimientos (Cod_Empresa, Cod_Ejercicio, Cuenta)
GO
IF OBJECT_ID(N'Previsiones_Cobro', N'U') IS NULL CREATE TABLE Previsiones_Cobro (
  Cod_Empresa smallint NOT NULL,
  Codigo int NOT NULL,
  CuentaOriginal nvarchar(20) NOT NULL,
  Estado smallint NOT NULL DEFAULT 0,
  Importe money NOT NULL DEFAULT 0,
  CONSTRAINT PK_Previsiones_Cobro PRIMARY KEY (Cod_Empresa, Codigo))
GO
IF NOT EXISTS (SELECT 1 FROM sys.indexes WHERE name = N'IX_Previsiones_Cobro_Cuenta') CREATE INDEX IX_Previsiones_Cobro_Cuenta ON Previsiones_Cobro (Cod_Empresa, CuentaOriginal, Estado)
GO
