#pragma once

#include <QString>
#include <QStringList>

#include "platform/Firma.h"

// The publisher's key files: DIR/editor.clave, the secret key, readable by its owner only, and
// DIR/editor.pub, the public key as one line of text; a file of trusted public keys holds one
// a line ("#" starts a comment). Every failure throws ErrorEjecucion naming the file.
namespace ficherosClaves {

inline const QString kSecreta = QStringLiteral("editor.clave");
inline const QString kPublica = QStringLiteral("editor.pub");

// Makes a new key pair in the existing folder carpeta; never replaces a key already there.
platform::ParClaves genera(const QString& carpeta);
// The secret key held in the file at ruta.
QString leeSecreta(const QString& ruta);
// The public keys listed in the file at ruta; at least one.
QStringList leePublicas(const QString& ruta);

}  // namespace ficherosClaves
