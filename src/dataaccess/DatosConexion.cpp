#include "dataaccess/DatosConexion.h"

#include "dataaccess/aConexion.h"

using namespace Qt::StringLiterals;

void DatosConexion::aplicaA(aConexion& conexion) const {
    conexion.setTipoConexion(tipoConexion);
    conexion.setServidor(servidor);
    conexion.setBaseDatos(baseDatos);
    conexion.setLogin(login);
    conexion.setPassword(password);
    conexion.setPuerto(static_cast<qint16>(puerto));
    if (!provider.isEmpty()) {
        conexion.setProvider(provider);
    }
    conexion.setSid(sid);
    // A file database's record has no server to name: its server field is the folder.
    if (motor() == Motor::Fichero) {
        conexion.setDirectorioBD(servidor);
    }
}

QString DatosConexion::textoConexion(const Forma& forma) const {
    const QString textoPuerto = QString::number(puerto);
    switch (motor()) {
        case Motor::Fichero:
            return u"Provider=Microsoft.Jet.OLEDB.4.0;"_s + u" Data Source="_s +
                   forma.carpetaFichero + baseDatos + u";Persist Security Info=False"_s;
        case Motor::SqlServer: {
            QString texto =
                u"Provider="_s + (provider.isEmpty() ? u"sqloledb.1"_s : provider) + u";"_s;
            if (forma.red) {
                texto += u"Network Library=DBMSSOCN;"_s;
            }
            texto += u"Data Source="_s + servidor + u","_s + textoPuerto + u";"_s +
                     u"Initial Catalog="_s + baseDatos + u";"_s + u"User ID="_s + login + u";"_s +
                     u"Password="_s + password;
            if (forma.encriptada) {
                texto += u";Encrypt=yes"_s;
            }
            return texto;
        }
        case Motor::MySql:
            return u"Driver={"_s + (forma.driverMySql.isEmpty() ? u"mySQL"_s : forma.driverMySql) +
                   u"};Server="_s + servidor + u";"_s + u"Port="_s + textoPuerto +
                   u";Option=149512;Stmt=;Database="_s + baseDatos + u";Uid="_s + login +
                   u";Pwd="_s + password + u";Option=3"_s;
        case Motor::Oracle:
            if (!sid.isEmpty()) {
                return u"Provider=OraOLEDB.Oracle;"_s + u"Data Source=(DESCRIPTION="_s +
                       u"(ADDRESS_LIST=(ADDRESS=(PROTOCOL=TCP)(HOST="_s + servidor + u")(PORT="_s +
                       textoPuerto + u")))"_s +
                       u"(CONNECT_DATA=(SERVER=DEDICATED)(SERVICE_NAME="_s + sid +
                       u")));User Id="_s + login + u";Password="_s + password + u";"_s;
            }
            return u"Provider="_s + provider + u";Data Source="_s + servidor + u";User Id="_s +
                   login + u";Password="_s + password;
    }
    return QString();
}
