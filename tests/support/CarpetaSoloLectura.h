#pragma once

#include <QString>

// Makes a folder refuse new files for as long as it lives, and gives it back writable. A
// permission bit does not stop root, so as root the folder is also marked immutable.
class CarpetaSoloLectura {
public:
    explicit CarpetaSoloLectura(QString carpeta);
    ~CarpetaSoloLectura();
    CarpetaSoloLectura(const CarpetaSoloLectura&) = delete;
    CarpetaSoloLectura& operator=(const CarpetaSoloLectura&) = delete;

    // True when creating a file in the folder really fails (tests skip when it cannot be had).
    bool efectiva() const { return efectiva_; }

private:
    QString carpeta_;
    bool inmutable_ = false;
    bool efectiva_ = false;
};
