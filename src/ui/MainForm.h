#pragma once
// The main window: owner of the document, the instruments, the view state and
// every control. Handlers keep the names of the menu items and controls they
// serve; the work itself lives in the core, render and tool layers. The
// implementation is split by concern over several files (MainForm*.cpp).

#include "DrawObjects.h"
#include "DrawingFile.h"
#include "Overlay.h"
#include "PageGeometry.h"
#include "PageRenderer.h"
#include "UserDialogs.h"

#include <QImage>
#include <QMainWindow>
#include <memory>

class QAction;
class QActionGroup;
class QLabel;
class QMenu;
class QMenuBar;
class QPushButton;
class QScrollArea;
class QToolBar;

namespace quirindo::ui {

class TColorSwatch;
class TFloatSpinEdit;
class TPaintBox;
class TSpinEdit;

// The source text of the drawing file dialogs' filter.
inline constexpr const char* kDrawingFilter = "Zeichnungen (*.qrd)|*.qrd";

// Appends "/" unless the directory already ends in it.
QString WithTrailingSeparator(const QString& directory);

class TMainForm : public QMainWindow {
    Q_OBJECT
public:
    explicit TMainForm(const QString& programPath = QString(), QWidget* parent = nullptr);
    ~TMainForm() override;

    // --- document -------------------------------------------------------
    QString ProgramDir;
    QString FileName;
    QString TitleText;
    bool Changed = false;
    bool ShownOnce = false;
    std::unique_ptr<TDrawing> Drawing; // Objects / CurObject, Texts / CurText
    double PageWidthInch = 210.0 / kMmPerInch;
    double PageHeightInch = 297.0 / kMmPerInch;

    // --- instruments (page-relative mm and degrees) ----------------------
    double LinX = 10.0, LinY = 90.0, LinW = 0.0;
    double WinkX = 50.0, WinkY = 50.0, WinkW = 0.0, WinkD = 80.0;
    double ZirkX = 150.0, ZirkY = 50.0, ZirkW = 45.0, ZirkS = 40.0;
    bool UpdatingEds = false;

    // --- view -------------------------------------------------------------
    double ViewScale = 0.0;
    int PageHeightPx = 0;
    bool PaintLocked = false;
    bool RenderPageOnly = false;
    int PointerPage = 0;
    int PointerPageTop = 0;
    QImage PageBitmap;
    int PaintRequests = 0;    // how often the view was asked to repaint
    int PagesRendered = 0;    // pages rendered by the paint events so far
    TOverlay Overlay;         // what tools drew straight onto the view
    TInstrumentPictures InstrumentPictures; // filled by the instruments

    // --- main menu bar ------------------------------------------------------
    QMenuBar* MainMenu = nullptr;
    QMenu* Datei1 = nullptr;
    QMenu* Ansicht1 = nullptr;
    QMenu* Sprache1 = nullptr;
    QAction *Neu1 = nullptr, *ffnen1 = nullptr, *Speichern1 = nullptr, *Speichernunter1 = nullptr,
            *AlsBildexportieren1 = nullptr, *AlsDXFDateiexportieren1 = nullptr,
            *Seiteeinrichten1 = nullptr, *Drucken1 = nullptr, *Druckereinrichten1 = nullptr,
            *Beenden1 = nullptr;
    QAction *LeistefrZahleneingabe1 = nullptr, *Lineal2 = nullptr, *Winkelmesser2 = nullptr,
            *Zirkel2 = nullptr, *AnsichtZollAngabenfrdasLineal1 = nullptr;
    QAction *Deutsch1 = nullptr, *English1 = nullptr, *Italiano1 = nullptr, *bersetzen1 = nullptr;
    QToolBar* CommandBar = nullptr;

    // --- settings strip -----------------------------------------------------
    QWidget* SettingsStrip = nullptr;
    TSpinEdit* zoomed = nullptr;
    TFloatSpinEdit* StrichEd = nullptr;
    TColorSwatch* Shape1 = nullptr;
    QPushButton* FarbeBtn = nullptr;
    TFloatSpinEdit* RadierEd = nullptr;
    TSpinEdit* PageAnz = nullptr;

    // --- tool menu ----------------------------------------------------------
    QToolBar* ToolMenu = nullptr;
    QActionGroup* ToolGroup = nullptr;
    QAction *Lineal1 = nullptr, *LinealVerschieben1 = nullptr, *LinealDrehen1 = nullptr,
            *LinealAnLinealentlangzeichnen1 = nullptr, *LinealQuerzumLinealzeichnen1 = nullptr;
    QAction *Winkelmesser1 = nullptr, *WinkelmesserVerschieben1 = nullptr,
            *WinkelmesserDrehen1 = nullptr, *WinkelmesserGradzahlmitBleistiftmarkieren1 = nullptr;
    QAction *Zirkel1 = nullptr, *ZirkelVerschieben1 = nullptr, *ZirkelZirkelspanne1 = nullptr,
            *ZirkelKreisbogenzeichnen1 = nullptr, *ZirkelKreiszeichnen1 = nullptr;
    QAction *Kurven1 = nullptr, *Bleistift1 = nullptr, *Radierer1 = nullptr;
    QAction *Text1 = nullptr, *TextTexthinzufgen1 = nullptr, *TextTextndern1 = nullptr,
            *TextTextlschen1 = nullptr, *TextVerschieben1 = nullptr;
    QAction *Objekte1 = nullptr, *ObjekteLschen1 = nullptr, *ObjekteLetzesObjektlschen1 = nullptr,
            *ObjekteVerschieben1 = nullptr;
    QAction *Hand1 = nullptr, *Zoom1 = nullptr;

    // --- numeric entry panel ------------------------------------------------
    QWidget* NumericPanel = nullptr;
    TFloatSpinEdit *LinXEd = nullptr, *Linyed = nullptr, *linwed = nullptr;
    TFloatSpinEdit *WinkXed = nullptr, *WinkYEd = nullptr, *WinkWEd = nullptr;
    TFloatSpinEdit *ZirkXed = nullptr, *ZirkYed = nullptr, *ZirksEd = nullptr;

    // --- view area ----------------------------------------------------------
    QScrollArea* ScrollBox1 = nullptr;
    TPaintBox* PaintBox1 = nullptr;
    QLabel* StatusText = nullptr;

    // --- document commands --------------------------------------------------
    void FormShow();
    void SetChanged();
    void SetUnChanged();
    void NewAll();
    void Neu1Click();
    void ffnen1Click();
    bool SaveFile();
    void Speichern1Click();
    void Speichernunter1Click();
    bool FormCloseQuery();
    void Beenden1Click();
    bool SaveTheFile();
    bool OpenFile();
    // Reads `path` into the document; on any failure the current drawing,
    // its name and its changed mark stay as they were.
    bool OpenFileFromPath(const QString& path);

    // The settings a drawing file keeps, taken from the fields and controls.
    TDrawingSettings CurrentSettings() const;
    void ApplySettings(const TDrawingSettings& settings);

    // --- view settings ------------------------------------------------------
    void zoomedChange();
    void PageAnzChange();
    void FarbeBtnClick();
    void Shape1MouseDown();
    void Lineal2Click();
    void Winkelmesser2Click();
    void Zirkel2Click();
    void AnsichtZollAngabenfrdasLineal1Click();
    void LeistefrZahleneingabe1Click();
    void FormMouseWheelUp();
    void FormMouseWheelDown();
    std::int32_t PenColor() const;

    // --- tool menu handlers: check the tool, repaint ---------------------------
    void LinealVerschieben1Click();
    void LinealDrehen1Click();
    void LinealAnLinealentlangzeichnen1Click();
    void LinealQuerzumLinealzeichnen1Click();
    void WinkelmesserVerschieben1Click();
    void WinkelmesserDrehen1Click();
    void WinkelmesserGradzahlmitBleistiftmarkieren1Click();
    void ZirkelVerschieben1Click();
    void ZirkelZirkelspanne1Click();
    void ZirkelKreisbogenzeichnen1Click();
    void TextTexthinzufgen1Click();
    void TextTextndern1Click();
    void TextTextlschen1Click();
    void TextVerschieben1Click();
    void ObjekteLschen1Click();
    void ObjekteVerschieben1Click();
    void Kurven1Click();
    void Bleistift1Click();
    void Radierer1Click();
    void Hand1Click();
    void Zoom1Click();

    // --- numeric panel --------------------------------------------------------
    void UpdateEds();

    // The paint routine: computes the view scale, sizes the paint box,
    // clears what was drawn straight onto the view and asks for the visible
    // pages to be painted. With RenderPageOnly set it renders page
    // PointerPage into PageBitmap instead, for the caller to draw on and
    // show with ShowPageBitmap.
    void PaintBox1Paint();
    // Draws straight onto the view, above the pages, until the next repaint.
    void DrawOnView(const TOverlay::TPainterFn& fn);
    // Shows PageBitmap on the view at its page, until the next repaint.
    void ShowPageBitmap();
    // The view scale and page sizes for the current zoom, page size and
    // screen; sets ViewScale and PageHeightPx. True when the paint box had
    // to be resized.
    bool UpdateViewGeometry();
    // Paints the pages that intersect `area` and the overlay (paint event).
    void PaintView(QPainter& painter, const QRect& area);
    // Renders page `page` at the view's scale into PageBitmap.
    void RenderPageBitmap(int page);
    [[nodiscard]] int PageCount() const;
    [[nodiscard]] double ZoomPercent() const;

    // Message `id` of the message table in the current language.
    QString Message(int id) const;
    // A German interface text in the current language.
    static QString Tr(const char* german);

    void SetDialogs(std::unique_ptr<TUserDialogs> dialogs);
    TUserDialogs& Dialogs() { return *FDialogs; }

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FormCreate(const QString& programPath);
    void BuildMainMenu();
    void BuildCommandBar();
    void BuildSettingsStrip();
    void BuildToolMenu();
    void BuildNumericPanel();
    void BuildViewArea();
    void CheckSubTool(QAction* parent, QAction* item);
    void CheckTool(QAction* item);
    void RunColorDialog();
    TAnswer AskToSaveChanges();
    TFileDialogSpec DrawingDialogSpec(const char* title) const;
    void ReportFileError(const char* germanTemplate, const QString& path, const QString& reason);

    TPageView PageView(int page) const;

    std::unique_ptr<TUserDialogs> FDialogs;
    TPageGeometry FGeometry;
};

} // namespace quirindo::ui
