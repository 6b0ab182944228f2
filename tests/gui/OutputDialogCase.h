#pragma once

#include <QDir>
#include <QFile>
#include <QObject>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include "gui/output/OutputPane.h"
#include "gui/output/frmOpenOutput.h"
#include "gui/output/frmSaveOutput.h"
#include "gui/platform/MessageService.h"

inline QByteArray readAll(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return "<missing>";
    return f.readAll();
}

inline void write(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(f.write(bytes), bytes.size());
}

// What the tests of the output dialogs start each case with: boxes scripted, a pane of their own
// and an empty temporary folder; no dialog is left for the next case. The test class calls
// startCase() from init() and endCase() from cleanup().
class OutputDialogCase : public QObject {
  protected:
    std::unique_ptr<QTemporaryDir> m_tmp;
    QString m_dir;
    std::unique_ptr<OutputPane> m_pane;

    void startCase() {
        MessageService::startScripting();
        MessageService::clearShown();
        m_tmp = std::make_unique<QTemporaryDir>();
        QVERIFY(m_tmp->isValid());
        m_dir = QDir::cleanPath(m_tmp->path());
        m_pane = std::make_unique<OutputPane>();
    }
    void endCase() {
        QCOMPARE(MessageService::unansweredCount(), 0);
        delete frmSaveOutput::existing();
        delete frmOpenOutput::existing();
        m_pane.reset();
        m_tmp.reset();
    }
};
