/* The anchors of the download benchmark: a file's blocks read with the engine's own C library
 * and written to a file, with nothing else in the way. On MariaDB the rows are streamed
 * (mysql_use_result); on SQLite each blob is written straight from the library's row buffer.
 * Usage: lector HOST PORT USER PASSWORD DB COD_FICHERO SALIDA
 *        lector sqlite FICHERO_BD COD_FICHERO SALIDA */
#include <mysql.h>
#include <sqlite3.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static int sqlite(const char* bd, int cod, const char* salida) {
    sqlite3* db;
    sqlite3_stmt* st;
    char sql[160];
    snprintf(sql, sizeof sql,
             "SELECT datos FROM tDatosFichero WHERE codFichero=%d ORDER BY nBloque", cod);
    if (sqlite3_open_v2(bd, &db, SQLITE_OPEN_READONLY, NULL) != SQLITE_OK ||
        sqlite3_prepare_v2(db, sql, -1, &st, NULL) != SQLITE_OK) {
        fprintf(stderr, "lector: %s\n", sqlite3_errmsg(db));
        return 1;
    }
    FILE* f = fopen(salida, "wb");
    if (!f) {
        perror("lector: fopen");
        return 1;
    }
    while (sqlite3_step(st) == SQLITE_ROW) {
        fwrite(sqlite3_column_blob(st, 0), 1, (size_t)sqlite3_column_bytes(st, 0), f);
    }
    sqlite3_finalize(st);
    sqlite3_close(db);
    return fclose(f) == 0 ? 0 : 1;
}

static int falla(MYSQL* m, const char* paso) {
    fprintf(stderr, "lector: %s: %s\n", paso, mysql_error(m));
    return 1;
}

int main(int argc, char** argv) {
    if (argc == 5 && strcmp(argv[1], "sqlite") == 0) {
        return sqlite(argv[2], atoi(argv[3]), argv[4]);
    }
    if (argc != 8) {
        fprintf(stderr, "usage: lector HOST PORT USER PASSWORD DB COD_FICHERO SALIDA\n"
                        "       lector sqlite FICHERO_BD COD_FICHERO SALIDA\n");
        return 2;
    }
    MYSQL* m = mysql_init(NULL);
    if (!mysql_real_connect(m, argv[1], argv[3], argv[4], argv[5], (unsigned)atoi(argv[2]), NULL,
                            0)) {
        return falla(m, "connect");
    }
    char sql[160];
    snprintf(sql, sizeof sql,
             "SELECT datos FROM tDatosFichero WHERE codFichero=%d ORDER BY nBloque",
             atoi(argv[6]));
    if (mysql_query(m, sql)) {
        return falla(m, "query");
    }
    MYSQL_RES* r = mysql_use_result(m);
    if (!r) {
        return falla(m, "use_result");
    }
    FILE* f = fopen(argv[7], "wb");
    if (!f) {
        perror("lector: fopen");
        return 1;
    }
    MYSQL_ROW fila;
    while ((fila = mysql_fetch_row(r))) {
        unsigned long* largos = mysql_fetch_lengths(r);
        fwrite(fila[0], 1, largos[0], f);
    }
    if (mysql_errno(m)) {
        return falla(m, "fetch");
    }
    mysql_free_result(r);
    mysql_close(m);
    return fclose(f) == 0 ? 0 : 1;
}
