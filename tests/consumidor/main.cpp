// Fails when the installed headers, libraries and package do not make a working program.
#include <comun/modTolvane1.h>

#include <QTextStream>

int main() {
    const QString claro = QStringLiteral("contraseña de prueba");
    const QString vuelta = modTolvane1::decodifica(modTolvane1::codifica(claro));
    QTextStream(stdout) << "consumidor: " << vuelta << '\n';
    return vuelta == claro ? 0 : 1;
}
