#pragma once

#include <QFile>
#include <QString>

// A study whose variables and groups have long names, as a comma-separated file with a names
// line: what the windows show at their longest. Var 2 holds the groups, Var 3 the scores.
inline bool WriteStudyFile(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly)) return false;
    f.write(
        "participant_id,treatment_group_assignment,reaction_time_milliseconds,"
        "accuracy_percent_correct\r\n");
    for (int i = 1; i <= 40; ++i) {
        const bool control = i % 2 == 1;
        const int time = control ? 520 + (i * 53) % 110 : 480 + (i * 37) % 90;
        f.write(QStringLiteral("%1,%2,%3.%4,%5\r\n")
                    .arg(i)
                    .arg(control ? "control" : "treatment_with_placebo_followup")
                    .arg(time)
                    .arg(i % 10)
                    .arg(70 + (i * 13) % 25)
                    .toUtf8());
    }
    return true;
}
