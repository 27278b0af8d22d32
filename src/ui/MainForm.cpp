#include "MainForm.h"

#include "ColorSwatch.h"
#include "Localisation.h"
#include "Messages.h"
#include "Options.h"
#include "PaintBox.h"
#include "SpinEdits.h"
#include "Translation.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QScrollArea>
#include <QScrollBar>
#include <QStatusBar>
#include <QToolBar>
#include <QTranslator>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <cstdio>

namespace quirindo::ui {

QString WithTrailingSeparator(const QString& directory) {
    if (directory.endsWith(QLatin1Char('/'))) return directory;
    return directory + QLatin1Char('/');
}

TMainForm::TMainForm(const QString& programPath, QWidget* parent)
    : QMainWindow(parent), FDialogs(std::make_unique<TQtUserDialogs>(this)) {
    // A record store that cannot grow says so in its own English box; the
    // command that needed the memory then reports its failure as well.
    // Windows may go in any order: a reporter given back to the store after
    // its window went falls back to the error output.
    FPreviousMemoryReporter = SetOutOfMemoryReporter(
        [self = QPointer<TMainForm>(this)](const std::string& message) {
            if (self && self->FDialogs)
                self->FDialogs->ShowError(QString(), QString::fromStdString(message));
            else
                std::fprintf(stderr, "%s\n", message.c_str());
        });
    RecoveryCopy = MakeRecoveryKeeper();
    FormCreate(programPath);
}

TMainForm::~TMainForm() {
    SetOutOfMemoryReporter(std::move(FPreviousMemoryReporter));
    // Release the document before the controls go.
    NewAll();
    Drawing.reset();
}

void TMainForm::FormCreate(const QString& programPath) {
    const QString program =
        programPath.isEmpty() ? QCoreApplication::applicationFilePath() : programPath;
    ProgramDir = WithTrailingSeparator(QFileInfo(program).absolutePath());

    Drawing = std::make_unique<TDrawing>();
    DrawingEditor = std::make_unique<TDrawingEditor>(*Drawing);
    Remembered = std::make_unique<TRemembered>(TRemembered::DefaultPath());
    setWindowTitle(QStringLiteral("TAVREN Quirindo 1.0"));
    resize(780, 560);

    auto* controlBar = new QWidget(this);
    controlBar->setObjectName(QStringLiteral("ControlBar1"));
    auto* rows = new QVBoxLayout(controlBar);
    rows->setContentsMargins(0, 0, 0, 0);
    rows->setSpacing(0);
    setMenuWidget(controlBar);

    BuildMainMenu();
    BuildCommandBar();
    auto* firstRow = new QHBoxLayout();
    firstRow->setSpacing(4);
    firstRow->addWidget(MainMenu);
    firstRow->addWidget(CommandBar);
    firstRow->addStretch(1);
    rows->addLayout(firstRow);
    BuildSettingsStrip();
    rows->addWidget(SettingsStrip);
    BuildToolMenu();
    rows->addWidget(ToolMenu);

    BuildViewArea();
    BuildNumericPanel();
    SetupInstruments();
    UpdateToolCursor();
    UpdateEds();
    OpenTranslationTable();
    ZuletztGeoeffnet1->menuAction()->setEnabled(!Remembered->RecentFiles().isEmpty());
    MakeControlsAccessible();
    StartFreshHistory();
    DrawingEditor->AddObserver([this](const TEditNotice& notice) { DrawingEdited(notice); });
    // The size and place of the last run, where the screen still has room.
    if (const QByteArray geometry = Remembered->WindowGeometry(); !geometry.isEmpty())
        (void)restoreGeometry(geometry);
}

void TMainForm::BuildViewArea() {
    auto* client = new QWidget(this);
    auto* layout = new QHBoxLayout(client);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    NumericPanel = new QWidget(client);
    NumericPanel->setObjectName(QStringLiteral("Panel1"));
    NumericPanel->setFixedWidth(121);
    NumericPanel->hide();
    layout->addWidget(NumericPanel);

    ScrollBox1 = new QScrollArea(client);
    ScrollBox1->setObjectName(QStringLiteral("ScrollBox1"));
    ScrollBox1->setBackgroundRole(QPalette::Dark); // the application workspace
    ScrollBox1->setWidgetResizable(false);
    ScrollBox1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    PaintBox1 = new TPaintBox(ScrollBox1);
    PaintBox1->setObjectName(QStringLiteral("PaintBox1"));
    PaintBox1->resize(10, 10);
    PaintBox1->OnPaint = [this](QPainter& painter, const QRect& area) { PaintView(painter, area); };
    PaintBox1->OnMouseLeave = [this] { PaintBox1MouseLeave(); };
    ScrollBox1->setWidget(PaintBox1);
    ScrollBox1->viewport()->installEventFilter(this);
    // The arrow keys nudge the instrument of the checked tool before the
    // box scrolls with them.
    ScrollBox1->installEventFilter(this);
    layout->addWidget(ScrollBox1, 1);
    setCentralWidget(client);

    StatusText = new QLabel(this);
    StatusText->setObjectName(QStringLiteral("StatusBar1"));
    statusBar()->addWidget(StatusText, 1);
}

void TMainForm::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    FormShow();
}

void TMainForm::FormShow() {
    if (ShownOnce) return;
    ReportTranslationTable();
    LoadOptions();
    // Qt's own buttons and dialogs speak the language the interface starts in.
    (void)LoadQtTranslations(StartLanguage);
    // Every message gets its row in the translation table before anyone asks.
    translate->RegisterMessages();
    translate->SetLanguageColumn(StartLanguage);
    if (StartLanguage != kLanguageGerman) {
        TranslateApplication();
        // Inches are the ruler's unit everywhere but in German.
        AnsichtZollAngabenfrdasLineal1->setChecked(true);
    }
    // ... unless the user chose the unit in an earlier run.
    if (const auto inches = Remembered->InchLabels())
        AnsichtZollAngabenfrdasLineal1->setChecked(*inches);
    ShownOnce = true;
    TitleText = Message(msgTitle);
    SetUnChanged();
    UpdateEditMenu(); // in the interface language
    // After the translation and the undo items' captions, so that each language gets letters from its
    // own captions (Alt+D "Datei", Alt+F "File").
    AssignMnemonics(MainMenu);
    for (QAction* tool : ToolMenu->actions())
        if (tool->menu()) AssignMnemonics(tool->menu());
    // The keys that scroll go to the pages, not to the first spin box.
    FocusView();
}

QString TMainForm::Message(int id) const {
    std::string text;
    GetMessageText(id, text);
    return QString::fromStdString(text);
}

QString TMainForm::Tr(const char* german) {
    return QString::fromStdString(TranslateUtf8(german));
}

// The one place where the drawing becomes changed (an edit, or an undo or
// redo away from the state on disk) ...
void TMainForm::SetChanged() {
    FTiles.InvalidateAll();
    MarkChanged();
}

void TMainForm::MarkChanged() {
    Changed = true;
    RecoveryCopy->DrawingChanged();
    const QString name = FileName.isEmpty() ? Message(msgUnnamed) : FileName;
    setWindowTitle(TitleText + QStringLiteral(" - [") + name + QStringLiteral("*]"));
}

// ... and where it becomes the drawing on disk again: saved, opened, new, or
// undone or redone back to that state.
void TMainForm::SetUnChanged() {
    // The tiles stay: saving changes no picture, and a new or opened
    // drawing drops them when its history starts afresh.
    Changed = false;
    RecoveryCopy->DrawingSaved();
    if (DrawingEditor) DrawingEditor->MarkSaved();
    const QString name = FileName.isEmpty() ? Message(msgUnnamed) : FileName;
    setWindowTitle(TitleText + QStringLiteral(" - [") + name + QStringLiteral("]"));
}

void TMainForm::NewAll() {
    if (Drawing) Drawing->Clear();
    StartFreshHistory();
    FileName.clear();
    SetUnChanged();
}

void TMainForm::closeEvent(QCloseEvent* event) {
    if (FormCloseQuery()) {
        // Closing drops the drawing: its recovery copy goes with it.
        RecoveryCopy->DrawingSaved();
        Remembered->SetWindowGeometry(saveGeometry());
        Remembered->Sync();
        event->accept();
    } else {
        event->ignore();
    }
}

void TMainForm::Beenden1Click() {
    close();
}

void TMainForm::SetDialogs(std::unique_ptr<TUserDialogs> dialogs) {
    FDialogs = std::move(dialogs);
}

} // namespace quirindo::ui
