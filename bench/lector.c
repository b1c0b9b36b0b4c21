/* The protocol-limit anchor of the download benchmark: the file's blocks read with the
 * server's own client library, streamed row by row (mysql_use_result) and written to a file,
 * with nothing else in the way. Usage: lector HOST PORT USER PASSWORD DB COD_FICHERO SALIDA */
#include <mysql.h>
#include <stdio.h>
#include <stdlib.h>

static int falla(MYSQL* m, const char* paso) {
    fprintf(stderr, "lector: %s: %s\n", paso, mysql_error(m));
    return 1;
}

int main(int argc, char** argv) {
    if (argc != 8) {
        fprintf(stderr, "usage: lector HOST PORT USER PASSWORD DB COD_FICHERO SALIDA\n");
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
