// File > Save reader profile... and Apply reader profile... on simulated PX50 readers: the
// dialogs answered as a user does, the change list and the outcome list read from the screen.
#include <QDialog>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QTableWidget>
#include <QTimer>

#include "SimLines.h"
#include "WindowFixture.h"

using tbsim::ReaderKind;

namespace {

// Answers each modal dialog as it comes up: the file dialog with `path`, questions with No,
// the lists with OK after reading their rows.
struct DialogAnswers {
    QString path;
    QStringList seen;  // the dialogs, by object name or class
    QMap<QString, QStringList> rows;
    QTimer watch;
    QPointer<QWidget> last;

    DialogAnswers() {
        QObject::connect(&watch, &QTimer::timeout, [this] { answer(); });
        watch.start(10);
    }
    void answer() {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || modal == last) return;
        last = modal;
        if (auto* files = qobject_cast<QFileDialog*>(modal)) {
            seen << files->objectName();
            files->selectFile(path);
            QMetaObject::invokeMethod(files, "accept", Qt::QueuedConnection);
        } else if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            seen << box->text();
            QAbstractButton* no = box->button(QMessageBox::No);
            QMetaObject::invokeMethod(no ? no : box->buttons().value(0), "click",
                                      Qt::QueuedConnection);
        } else if (auto* dialog = qobject_cast<QDialog*>(modal)) {
            seen << dialog->objectName();
            auto* table = dialog->findChild<QTableWidget*>("tblSettings");
            for (int r = 0; table && r < table->rowCount(); ++r) {
                QStringList cells;
                for (int c = 0; c < table->columnCount(); ++c) cells << table->item(r, c)->text();
                rows[dialog->objectName()] << cells.join(" | ");
            }
            QMetaObject::invokeMethod(dialog, "accept", Qt::QueuedConnection);
        }
    }
};

}  // namespace

class TestProfileWindow : public QObject {
    Q_OBJECT
private slots:
    void saveThenApply();
};

void TestProfileWindow::saveThenApply() {
    SimLines lines;
    tbsim::SimLine& lineA = lines.add();
    tbsim::SimLine& lineB = lines.add();
    lines.addReader(lineA, ReaderKind::PX50, 1);
    tbsim::SimReader* b = lines.addReader(lineB, ReaderKind::PX50, 1);
    WindowFixture f;
    f.open(lines.ports());
    f.selectReaderType(commands::ReaderType::PX50);
    const auto link = [&](const char* port) {
        f.control<QComboBox>("cmbPort")->setEditText(port);
        f.click("btnLink");
        QCOMPARE(f.text("pnMsg"), QString("Reader find ok. (COM : #%1)").arg(port[3]));
    };
    link("COM1");
    // Reader A: RS485 output, and a title the reader cannot report back.
    f.control<QComboBox>("cmbMode")->setCurrentIndex(1);
    f.click("btnMode");
    f.control<QLineEdit>("edTitle1")->setText("Door 7");
    f.click("btnSetTitle1");

    QTemporaryDir dir;
    DialogAnswers answers;
    answers.path = dir.filePath("door.tbprofile");
    f.action("mnuSaveProfile")->trigger();
    QCOMPARE(answers.seen,
             QStringList({"sdProfile", "Save the reader's ID and line settings too."}));

    link("COM2");
    lineB.clearLog();
    answers.seen.clear();
    f.action("mnuApplyProfile")->trigger();
    QCOMPARE(answers.seen, QStringList({"odProfile", "dlgProfileChanges", "dlgProfileOutcome"}));
    QCOMPARE(answers.rows["dlgProfileChanges"],
             QStringList({"set-interface | Wiegand, Wiegand 26, RS485 32 | "
                          "RS485, Wiegand 26, RS485 32",
                          "title.1 | (not reported) | Door 7"}));
    QCOMPARE(answers.rows["dlgProfileOutcome"],
             QStringList({"set-interface | Wiegand, Wiegand 26, RS485 32 | "
                          "RS485, Wiegand 26, RS485 32 | changed",
                          "set-card-type | EM | EM | unchanged",
                          "title.1 | (not reported) | Door 7 | changed"}));
    QCOMPARE(b->config().interfaceIndex, 1);
    QCOMPARE(b->config().display.title1, std::string("Door 7          "));

    QVERIFY(f.window().isEnabled());
    QVERIFY(!QApplication::overrideCursor());
}

QTEST_MAIN(TestProfileWindow)
#include "tst_profile_window.moc"
