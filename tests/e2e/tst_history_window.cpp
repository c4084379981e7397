// The frame history window and the port diagnostics, driven as a technician drives them: the
// View menu in three languages, Ctrl+H, the window staying usable while a command runs and
// following a card loop live, Save read back line by line, the reasons shown when a port does
// not open or an adapter vanishes, and the session log of TAGBENCH_FRAME_LOG.
#include <QAccessible>
#include <QFileDialog>
#include <QHeaderView>
#include <QMenuBar>
#include <QProcess>
#include <QScrollBar>
#include <QStatusBar>
#include <QTableView>
#include <QTimer>
#include <fstream>
#include <functional>

#include "SimLines.h"
#include "WindowFixture.h"
#include "app/history/FrameHistoryModel.h"
#include "app/history/FrameHistoryWindow.h"
#include "app/history/HistoryText.h"
#include "text/Catalogue.h"

using app::FrameHistoryModel;
using app::FrameHistoryWindow;
using text::Msg;

namespace {

// One simulated PX10 with ID 01 on COM1, the window linked to it.
struct Linked {
    SimLines lines;
    tbsim::SimLine* line = nullptr;
    WindowFixture f;
    app::TfrmModule* window = nullptr;

    Linked() {
        line = &lines.add();
        lines.addReader(*line, tbsim::ReaderKind::PX10, 1);
        window = &f.open(lines.ports());
        f.control<QComboBox>("cmbPort")->setEditText("COM1");
        f.click("btnLink");
    }
    FrameHistoryWindow& history() { return window->frameHistoryWindow(); }
    FrameHistoryModel& model() { return *history().model(); }
    QString cell(int row, int column) {
        return model().data(model().index(row, column)).toString();
    }
    // The table has caught up with the history (it refreshes a few times a second).
    bool settled() {
        return QTest::qWaitFor(
            [&] { return model().rowCount() == int(window->frameHistory().Size()); });
    }
};

// Runs `step` every 20 ms inside whatever the window is doing (a command's pump, a card loop)
// until it returns true or 10 s have gone.
void Every20Ms(QTimer& timer, const std::function<bool()>& step) {
    timer.setInterval(20);
    auto clock = std::make_shared<QElapsedTimer>();
    clock->start();
    QObject::connect(&timer, &QTimer::timeout, [&timer, step, clock] {
        if (step() || clock->elapsed() > 10000) timer.stop();
    });
    timer.start();
}

std::vector<QStringList> ReadTabSeparated(const QString& path) {
    std::ifstream file(path.toStdString());
    std::vector<QStringList> rows;
    for (std::string line; std::getline(file, line);)
        rows.push_back(QString::fromStdString(line).split('\t'));
    return rows;
}

}  // namespace

class TestHistoryWindow : public QObject {
    Q_OBJECT
private slots:
    void viewMenuInEveryLanguage_data();
    void viewMenuInEveryLanguage();
    void ctrlHOpensAndHidesTheWindow();
    void usableWhileTheMainWindowIsDisabled();
    void followsACardLoopLive();
    void savedFileReadsBackLineByLine();
    void portThatWillNotOpenSaysWhy_data();
    void portThatWillNotOpenSaysWhy();
    void vanishedAdapterIsNamed();
    void sessionLogFromTheEnvironment();
};

void TestHistoryWindow::viewMenuInEveryLanguage_data() {
    QTest::addColumn<QString>("menu");
    QTest::addColumn<int>("language");
    QTest::newRow("english") << "mnuEnglish" << text::kEnglish;
    QTest::newRow("simplified") << "mnuSimplified" << text::kSimplifiedChinese;
    QTest::newRow("traditional") << "mnuTraditional" << text::kTraditionalChinese;
}

void TestHistoryWindow::viewMenuInEveryLanguage() {
    QFETCH(QString, menu);
    QFETCH(int, language);
    WindowFixture f;
    app::TfrmModule& window = f.open();
    FrameHistoryWindow& history = window.frameHistoryWindow();
    f.action(menu.toLatin1().constData())->trigger();

    QStringList order;
    for (QAction* item : window.menuBar()->actions()) order << item->objectName();
    QCOMPARE(order, (QStringList{"mnuFile", "mnuView", "mnuLanguage", "mnuHelp"}));
    QCOMPARE(f.action("mnuView")->text(), text::Text(Msg::MenuView, language));
    QCOMPARE(f.action("mnuFrameHistory")->text(), text::Text(Msg::MenuFrameHistory, language));
    QCOMPARE(f.action("mnuFrameHistory")->shortcut(), QKeySequence("Ctrl+H"));
    QCOMPARE(window.size().width(), 771);
    QCOMPARE(window.centralWidget()->height() + window.statusBar()->height(), 630);

    QCOMPARE(history.windowTitle(), text::Text(Msg::FrameHistoryTitle, language));
    QAccessibleInterface* shown = QAccessible::queryAccessibleInterface(&history);
    QCOMPARE(shown->role(), QAccessible::Window);
    QCOMPARE(shown->text(QAccessible::Name), history.windowTitle());
    QCOMPARE(history.btnClearFrames->text(), text::Text(Msg::ClearFrames, language));
    QCOMPARE(history.btnSaveFrames->text(), text::Text(Msg::SaveFrames, language) + "...");
    QCOMPARE(history.model()->headerData(FrameHistoryModel::Outcome, Qt::Horizontal).toString(),
             text::Text(Msg::ColumnOutcome, language));
    QCOMPARE(history.font().family(), text::FontOf(language).family);
}

void TestHistoryWindow::ctrlHOpensAndHidesTheWindow() {
    WindowFixture f;
    app::TfrmModule& window = f.open();
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QTest::keyClick(&window, Qt::Key_H, Qt::ControlModifier);
    FrameHistoryWindow& history = window.frameHistoryWindow();
    QVERIFY(history.isVisible());
    QVERIFY(!history.isModal());
    QVERIFY(!window.isAncestorOf(&history));
    QVERIFY(QTest::qWaitForWindowActive(&history));
    QCOMPARE(QApplication::focusWidget(), history.lvFrames);
    QTest::keyClick(&history, Qt::Key_H, Qt::ControlModifier);
    QVERIFY(!history.isVisible());
    // The menu item brings it back; closing the main window takes it along.
    f.action("mnuFrameHistory")->trigger();
    QVERIFY(history.isVisible());
    QVERIFY(!history.testAttribute(Qt::WA_QuitOnClose));
    QVERIFY(f.closeByUser());
    QVERIFY(!history.isVisible());
}

// Clicked from inside the command's own wait: the main window is disabled, the history is not.
void TestHistoryWindow::usableWhileTheMainWindowIsDisabled() {
    Linked bench;
    QVERIFY(bench.window->linked());
    bench.f.action("mnuFrameHistory")->trigger();
    tbsim::FaultPlan silence;
    silence.fault = tbsim::Fault::Silence;
    bench.line->setFault(silence);

    bool mainDisabled = false;
    bool historyEnabled = false;
    int rowsAfterClear = -1;
    QTimer::singleShot(0, [&] {
        mainDisabled = !bench.window->isEnabled();
        historyEnabled = bench.history().isEnabled() && bench.history().btnClearFrames->isEnabled();
        QTest::mouseClick(bench.history().btnClearFrames, Qt::LeftButton);
        rowsAfterClear = bench.model().rowCount();
    });
    bench.f.click("btnID");

    QVERIFY(mainDisabled);
    QVERIFY(historyEnabled);
    QCOMPARE(rowsAfterClear, 0);
    QCOMPARE(bench.f.text("pnMsg"), QString("Set ID error!"));
    // What came after the clear: both silent attempts and the close, under the command.
    QVERIFY(bench.settled());
    const int rows = bench.model().rowCount();
    QVERIFY(rows >= 3);
    QCOMPARE(bench.cell(rows - 1, FrameHistoryModel::Outcome), QString("Port closed"));
    QVERIFY(bench.cell(rows - 2, FrameHistoryModel::Outcome).startsWith("Silence after "));
    // A row's time is when its frame went out: the silence that followed lies between it and
    // the close.
    const auto& history = bench.window->frameHistory();
    const auto silent = history.At(history.Size() - 2).when;
    QVERIFY(silent + std::chrono::milliseconds(300) <= history.At(history.Size() - 1).when);
    QCOMPARE(bench.model()
                 .data(bench.model().index(0, FrameHistoryModel::Command), Qt::ToolTipRole)
                 .toString(),
             QString("Set ID"));
}

void TestHistoryWindow::followsACardLoopLive() {
    Linked bench;
    FrameHistoryWindow& history = bench.history();
    QScrollBar* bar = history.lvFrames->verticalScrollBar();
    history.resize(1100, 160);  // a few polls fill it
    int phase = 0;
    int rowsAtOpen = 0;
    int rowsAtScroll = 0;
    bool openedDuringLoop = false;
    bool followed = false;
    bool newestInView = false;
    bool stayedUp = false;
    QTimer watch;
    Every20Ms(watch, [&] {
        if (!bench.window->continuousRead()) return true;
        const int rows = bench.model().rowCount();
        if (phase == 0) {
            bench.f.action("mnuFrameHistory")->trigger();
            openedDuringLoop = history.isVisible();
            rowsAtOpen = rows;
            phase = 1;
        } else if (phase == 1 && rows >= rowsAtOpen + 3) {
            followed = bar->value() == bar->maximum() && bar->maximum() > 0;
            const QRect newest = history.lvFrames->visualRect(
                bench.model().index(rows - 1, FrameHistoryModel::Sent));
            newestInView = history.lvFrames->viewport()->rect().contains(newest);
            bar->setValue(0);  // the user scrolls up to read
            rowsAtScroll = rows;
            phase = 2;
        } else if (phase == 2 && rows >= rowsAtScroll + 3) {
            stayedUp = bar->value() == 0;
            bench.f.click("btnReadCard");
            return true;
        }
        return false;
    });
    bench.f.click("btnReadCard");

    QVERIFY(openedDuringLoop);
    QVERIFY(followed);
    QVERIFY(newestInView);
    QVERIFY(stayedUp);
    QVERIFY(bench.settled());
    const int last = bench.model().rowCount() - 2;  // before the close
    QCOMPARE(bench.cell(last, FrameHistoryModel::Sent), QString("[09]A01F0F[0D]"));
    QCOMPARE(
        bench.model().data(bench.model().index(last, FrameHistoryModel::Command), Qt::ToolTipRole),
        QVariant(QString("Read card")));
}

void TestHistoryWindow::savedFileReadsBackLineByLine() {
    Linked bench;
    QTemporaryDir dir;
    const QString path = dir.filePath("site.tsv");
    FrameHistoryWindow& history = bench.history();
    history.show();
    QTest::mouseClick(history.btnSaveFrames, Qt::LeftButton);
    auto* dialog = history.findChild<QFileDialog*>("dlgSaveFrames");
    QVERIFY(dialog && dialog->isVisible());  // asked without stopping the program's loop
    dialog->selectFile(path);
    QMetaObject::invokeMethod(dialog, "accept");  // the Save button of the dialog

    const auto lines = ReadTabSeparated(path);
    const FrameHistoryModel& model = bench.model();
    QCOMPARE(int(lines.size()), model.rowCount() + 1);
    QCOMPARE(lines[0].join('\t'), QString::fromStdString(tblink::HistoryHeaderLine()));
    QVERIFY(model.rowCount() >= 5);  // open, probe, close, open, read-out ..., close
    for (int row = 0; row < model.rowCount(); ++row) {
        const QStringList& fields = lines[std::size_t(row) + 1];
        QCOMPARE(fields.size(), FrameHistoryModel::kColumnCount);
        auto shown = [&](int column, int role = Qt::DisplayRole) {
            return model.data(model.index(row, column), role).toString();
        };
        QVERIFY(fields[FrameHistoryModel::Time].endsWith(shown(FrameHistoryModel::Time)));
        QCOMPARE(fields[FrameHistoryModel::Command],
                 shown(FrameHistoryModel::Command, Qt::ToolTipRole));
        for (int column :
             {FrameHistoryModel::Port, FrameHistoryModel::Device, FrameHistoryModel::LineSettings,
              FrameHistoryModel::Sent, FrameHistoryModel::Received, FrameHistoryModel::Outcome,
              FrameHistoryModel::ReplyMs})
            QCOMPARE(fields[column], shown(column));
    }
    QCOMPARE(lines[1][FrameHistoryModel::Command], QString("Link reader"));
    QCOMPARE(lines[2][FrameHistoryModel::Sent], QString("[09]A01B0B[0D]"));
    QCOMPARE(history.lblFramesStatus->text(),
             QString("%1 entries saved to %2").arg(model.rowCount()).arg(path));
}

void TestHistoryWindow::portThatWillNotOpenSaysWhy_data() {
    QTest::addColumn<QString>("port");
    QTest::addColumn<QString>("how");  // missing, held, unmapped
    QTest::addColumn<int>("language");
    QTest::newRow("unplugged adapter") << "COM1"
                                       << "missing" << text::kEnglish;
    QTest::newRow("unplugged adapter, in Traditional Chinese")
        << "COM1"
        << "missing" << text::kTraditionalChinese;
    QTest::newRow("held by another program") << "COM1"
                                             << "held" << text::kEnglish;
    QTest::newRow("COM number without a device") << "COM7"
                                                 << "unmapped" << text::kEnglish;
}

void TestHistoryWindow::portThatWillNotOpenSaysWhy() {
    QFETCH(QString, port);
    QFETCH(QString, how);
    QFETCH(int, language);
    SimLines lines;
    QProcess holder;
    if (how == "missing") {
        lines.addMissing();
    } else {
        tbsim::SimLine& line = lines.add();
        lines.addReader(line, tbsim::ReaderKind::PX10, 1);
        if (how == "held") {
            holder.start("flock", {QString::fromStdString(line.devicePath()), "sh", "-c",
                                   "echo held; exec cat"});
            QVERIFY(holder.waitForReadyRead(30000));
        }
    }
    WindowFixture f;
    app::TfrmModule& window = f.open(lines.ports());
    if (language == text::kTraditionalChinese) f.action("mnuTraditional")->trigger();
    f.control<QComboBox>("cmbPort")->setEditText(port);
    f.click("btnLink");

    // The system's own message is untouched; the reason is beside it.
    QCOMPARE(f.text("pnMsg"), text::Text(Msg::ReaderNotFind, language));
    const tblink::HistoryEntry& refused = window.frameHistory().At(0);
    QCOMPARE(refused.event, tblink::HistoryEvent::PortOpenFailed);
    QVERIFY(refused.diagnosis);
    const platform::PortDiagnosis why = *refused.diagnosis;
    const QString reason = app::PortReason(why, language);
    const QString advice = app::PortAdvice(why, language);
    QVERIFY(!reason.isEmpty() && !advice.isEmpty());
    const QString named = reason.startsWith(port) ? reason : port + ": " + reason;
    QCOMPARE(f.control<QLabel>("pnMsg")->toolTip(), named + "\n" + advice);
    QCOMPARE(f.text("sbCommReceived"), named);
    QCOMPARE(f.control<QLabel>("sbCommReceived")->toolTip(), named + "\n" + advice);
    if (how == "held") {
        const QString pid = QString::number(holder.processId());
        QVERIFY2(reason.contains("flock (process " + pid + ", flock)"), qPrintable(reason));
        QVERIFY2(advice.contains("kill " + pid), qPrintable(advice));
        holder.closeWriteChannel();
        holder.waitForFinished(30000);
    }
    if (how == "missing" && language == text::kEnglish)
        QCOMPARE(reason, QString("/nonexistent/tty1 does not exist: the adapter is unplugged or "
                                 "has another name now."));
    if (how == "unmapped") QCOMPARE(reason, QString("COM7 names no device."));
    const FrameHistoryModel& model = *window.frameHistoryWindow().model();
    QCOMPARE(model.data(model.index(0, FrameHistoryModel::Outcome)).toString(),
             text::Text(Msg::PortDidNotOpen, language) + ": " + reason + " " + advice);
}

void TestHistoryWindow::vanishedAdapterIsNamed() {
    Linked bench;
    tbsim::FaultPlan pulled;
    pulled.fault = tbsim::Fault::LineGone;
    pulled.length = 3;
    bench.line->setFault(pulled);
    const std::string device = bench.line->devicePath();
    bench.f.click("btnID");

    QCOMPARE(bench.f.text("pnMsg"), QString("Set ID error!"));
    const QString reason = QString::fromStdString(device) +
                           " vanished during the exchange: the adapter was unplugged.";
    QVERIFY2(bench.f.control<QLabel>("pnMsg")->toolTip().contains(reason),
             qPrintable(bench.f.control<QLabel>("pnMsg")->toolTip()));
    QVERIFY(bench.f.control<QLabel>("sbCommReceived")->toolTip().contains(reason));
    bool named = false;
    for (int row = 0; row < bench.model().rowCount(); ++row)
        named =
            named || bench.cell(row, FrameHistoryModel::Outcome).startsWith("Line gone: " + reason);
    QVERIFY(named);
}

void TestHistoryWindow::sessionLogFromTheEnvironment() {
    SimLines lines;
    tbsim::SimLine& line = lines.add();
    lines.addReader(line, tbsim::ReaderKind::PX10, 1);
    QTemporaryDir dir;
    const QString log = dir.filePath("soak.tsv");
    const QByteArray store = qgetenv("TAGBENCH_SYSCONFDIR");
    const QByteArray home = qgetenv("XDG_CONFIG_HOME");
    qputenv("TAGBENCH_FRAME_LOG", log.toLocal8Bit());
    qputenv("TAGBENCH_PORTS", lines.ports().toLocal8Bit());
    qputenv("TAGBENCH_SYSCONFDIR", dir.filePath("etc").toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", dir.filePath("home").toLocal8Bit());
    std::vector<std::string> expected{tblink::HistoryHeaderLine()};
    {
        app::TfrmModule window(app::ModuleServices::FromSystem());
        window.show();
        window.FormShow();
        window.findChild<QComboBox*>("cmbPort")->setEditText("COM1");
        QTest::mouseClick(window.findChild<QPushButton*>("btnLink"), Qt::LeftButton);
        QVERIFY(window.linked());
        for (std::size_t i = 0; i < window.frameHistory().Size(); ++i)
            expected.push_back(tblink::HistoryLine(window.frameHistory().At(i)));
    }
    qunsetenv("TAGBENCH_FRAME_LOG");
    qunsetenv("TAGBENCH_PORTS");
    qputenv("TAGBENCH_SYSCONFDIR", store);
    qputenv("XDG_CONFIG_HOME", home);
    std::ifstream file(log.toStdString());
    std::vector<std::string> written;
    for (std::string text; std::getline(file, text);) written.push_back(text);
    QCOMPARE(written, expected);
}

QTEST_MAIN(TestHistoryWindow)
#include "tst_history_window.moc"
