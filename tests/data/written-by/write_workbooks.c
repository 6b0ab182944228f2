/* Writes the workbook the spreadsheet import tests read, with libxlsxwriter
 * (Debian: libxlsxwriter-dev): cc write_workbooks.c -lxlsxwriter && ./a.out */
#include <xlsxwriter.h>

int main(void) {
    lxw_workbook *workbook = workbook_new("xlsxwriter_trial.xlsx");
    lxw_worksheet *trial = workbook_add_worksheet(workbook, "trial");
    lxw_worksheet *notes = workbook_add_worksheet(workbook, "notes");
    lxw_format *date = workbook_add_format(workbook);
    format_set_num_format(date, "yyyy-mm-dd");

    const char *names[] = {"group", "arm", "score", "visit", "done"};
    for (int c = 0; c < 5; ++c) worksheet_write_string(trial, 0, c, names[c], NULL);
    const double group[] = {1, 1, 2, 2};
    const char *arm[] = {"control", "control", "treated", "treated"};
    const double score[] = {12.5, 14, 0, 11.25};
    const int day[] = {1, 2, 3, 4};
    for (int r = 0; r < 4; ++r) {
        worksheet_write_number(trial, r + 1, 0, group[r], NULL);
        worksheet_write_string(trial, r + 1, 1, arm[r], NULL);
        /* the third score is left blank */
        if (r != 2) worksheet_write_number(trial, r + 1, 2, score[r], NULL);
        lxw_datetime when = {2024, 3, day[r], 0, 0, 0};
        worksheet_write_datetime(trial, r + 1, 3, &when, date);
        worksheet_write_boolean(trial, r + 1, 4, r % 2, NULL);
    }
    /* A formula with its result cached, and a cell far to the right of an otherwise empty row. */
    worksheet_write_formula_num(trial, 5, 0, "=A2+A4", NULL, 3);
    worksheet_write_string(notes, 0, 0, "x", NULL);
    worksheet_write_number(notes, 2, 2, 5, NULL);
    return workbook_close(workbook) == LXW_NO_ERROR ? 0 : 1;
}
