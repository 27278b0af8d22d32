#pragma once
// The main window: owner of the document, the instruments, the view state and
// every control. Handlers keep the names of the menu items and controls they
// serve; the work itself lives in the core, render and tool layers. The
// implementation is split by concern over several files (MainForm*.cpp).

#include "AddTextForm.h"
#include "BitmapExport.h"
#include "CompassTool.h"
#include "CurveTool.h"
#include "DirectTool.h"
#include "DrawObjects.h"
#include "DrawingEditor.h"
#include "DrawingFile.h"
#include "EditToolHost.h"
#include "FreehandTool.h"
#include "InstrumentState.h"
#include "ObjectIndex.h"
#include "Overlay.h"
#include "PageCache.h"
#include "PageGeometry.h"
#include "PageRenderer.h"
#include "Remembered.h"
#include "ProtractorTool.h"
#include "RecoveryKeeper.h"
#include "RulerTool.h"
#include "UserDialogs.h"
#include "UserFiles.h"
#include "VectorExport.h"

#include <QImage>
#include <QMainWindow>
#include <QPoint>
#include <QPointer>
#include <array>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <vector>

class QAction;
class QActionGroup;
class QLabel;
class QMenu;
class QMenuBar;
class QPushButton;
class QScrollArea;
class QToolBar;
class QTranslator;
class QTimer;
class QDialog;  // output
class QPrinter; // output

namespace quirindo {
class TTranslation;
}

namespace quirindo::ui {

class TColorSwatch;
class TFloatSpinEdit;
class TPaintBox;
class TSpinEdit;
class TTranslateForm;
class TDPIForm;             // output
class TSeiteEinrichtenForm; // output
struct TPrintableArea;      // output

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
    // Every change of the drawing and of the page setup goes through it; its
    // history serves "Rückgängig" and "Wiederherstellen" (MainFormEdit.cpp).
    std::unique_ptr<TDrawingEditor> DrawingEditor;
    double PageWidthInch = 210.0 / kMmPerInch;
    double PageHeightInch = 297.0 / kMmPerInch;

    // --- instruments (page-relative mm and degrees) ----------------------
    tools::TInstrumentState Instruments; // LinX.., WinkX.., ZirkX..
    bool UpdatingEds = false;

    // --- view -------------------------------------------------------------
    double ViewScale = 0.0;
    int PageHeightPx = 0;
    bool PaintLocked = false;
    bool RenderPageOnly = false;
    int PointerPage = 0;
    int PointerPageTop = 0;
    QImage PageBitmap;
    // Where PageBitmap's top-left lies on its page: (0, 0) but for pages too
    // large for one picture, of which it holds the visible part.
    QPoint PageBitmapOrigin;
    int PaintRequests = 0;                  // how often the view was asked to repaint
    int TilesRendered = 0;                  // page tiles rendered by the paint events so far
    TOverlay Overlay;                       // what tools drew straight onto the view
    TInstrumentPictures InstrumentPictures; // filled by the instruments

    // --- main menu bar ------------------------------------------------------
    QMenuBar* MainMenu = nullptr;
    QMenu* Datei1 = nullptr;
    QMenu* Bearbeiten1 = nullptr;
    QAction *Rueckgaengig1 = nullptr, *Wiederherstellen1 = nullptr;
    QMenu* Ansicht1 = nullptr;
    QMenu* Sprache1 = nullptr;
    QAction *Neu1 = nullptr, *ffnen1 = nullptr, *Speichern1 = nullptr, *Speichernunter1 = nullptr,
            *AlsBildexportieren1 = nullptr, *AlsDXFDateiexportieren1 = nullptr,
            *Seiteeinrichten1 = nullptr, *Drucken1 = nullptr, *Druckereinrichten1 = nullptr,
            *Beenden1 = nullptr, *AlsPDFexportieren1 = nullptr, *AlsSVGexportieren1 = nullptr,
            *Druckvorschau1 = nullptr;
    QMenu* ZuletztGeoeffnet1 = nullptr; // the drawings opened last, newest first
    QAction *LeistefrZahleneingabe1 = nullptr, *Lineal2 = nullptr, *Winkelmesser2 = nullptr,
            *Zirkel2 = nullptr, *AnsichtZollAngabenfrdasLineal1 = nullptr;
    QAction *Einrasten1 = nullptr, *Instrumenteholen1 = nullptr;
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
    QAction* Direkt1 = nullptr;
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
    // Label, field and unit of each panel row, top to bottom.
    struct TPanelRow {
        QLabel* Label;
        TFloatSpinEdit* Field;
        QLabel* Unit;
    };
    std::vector<TPanelRow> PanelRows;

    // --- view area ----------------------------------------------------------
    QScrollArea* ScrollBox1 = nullptr;
    TPaintBox* PaintBox1 = nullptr;
    QLabel* StatusText = nullptr;

    // --- document commands --------------------------------------------------
    void FormShow();
    // Marks the drawing changed by something the editor did not report
    // (what changed is unknown, so every tile is rendered again); edits
    // through the editor mark it themselves.
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

    // --- recovery copy (MainFormRecovery.cpp) ----------------------------------
    // The copy of the unsaved drawing in the user's state folder.
    std::unique_ptr<TRecoveryKeeper> RecoveryCopy;
    // At program start: removes stale temporary files, offers the drawings
    // of programs that ended without saving, then opens `fileToOpen` (if
    // any). False when that file was not opened.
    bool StartUp(const QString& fileToOpen);
    // Asks, newest first, whether to restore each left-over copy; true when
    // one was restored (the others stay for the next start).
    bool OfferRecoveredDrawings();
    // SIGTERM or SIGHUP: keeps the unsaved drawing for the next start, then
    // ends the event loop.
    void EndOnSignal(int signal);
    // --- editing and its history (MainFormEdit.cpp) ----------------------------
    void Rueckgaengig1Click();
    void Wiederherstellen1Click();
    // The items of "Bearbeiten" name the step they would take, or are
    // disabled.
    void UpdateEditMenu();
    // The page setup the window shows, for the editor.
    [[nodiscard]] TPageSetup CurrentPageSetup() const;
    // Changes page size or count as an undoable step.
    void EditPageSetup(const TPageSetup& pages, const char* step);
    // A new or opened drawing: a fresh history, the drawing as on disk.
    void StartFreshHistory();

    // --- remembered between runs ---------------------------------------------
    // Last folder, window geometry, recent drawings and the ruler's unit, in
    // the user's config folder (Remembered.h).
    std::unique_ptr<TRemembered> Remembered;
    // Fills "Zuletzt geöffnet" from the remembered list; runs as it opens.
    void FillRecentMenu();
    // Opens a drawing of the recent list; one that is gone leaves the list
    // with a message naming it.
    bool OpenRecentFile(const QString& path);
    // The folder a file dialog starts in: the drawing's own, else the last
    // one used.
    [[nodiscard]] QString DialogFolder() const;
    // The drawing's file name with `suffix` (without dot) in place of its
    // own; the unnamed drawing's name when it has none.
    [[nodiscard]] QString SuggestedName(const QString& suffix) const;
    // A path the user chose in a file dialog: its folder becomes the last
    // folder.
    void RememberFolderOf(const QString& path);
    // A drawing just opened or saved under `path`.
    void RememberDrawing(const QString& path);

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
    // The wheel scrolls 20 pixels a notch (120 units of angle delta), fine
    // wheels in proportion; with Ctrl it zooms a step a notch about `at`,
    // a position in the scroll box's visible area.
    void FormMouseWheel(int angleDelta);
    void FormMouseWheelZoom(int angleDelta, QPoint at);
    void FormMouseWheelUp();
    void FormMouseWheelDown();
    // Writes the zoom field keeping the drawing point at `viewportPoint` (a
    // position in the scroll box's visible area) in place; any other zoom
    // change keeps the middle of the visible area in place.
    void SetZoomAbout(int percent, QPoint viewportPoint);
    // Gives the keyboard to the view, where the scroll keys move the pages.
    void FocusView();
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
    void Direkt1Click();

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
    // The drag's latest preview, in place of its previous one.
    void DrawDragPreview(const TOverlay::TPainterFn& fn);
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
    // Drops the tiles that show any part of `area` (drawing millimetres):
    // the editor reports every edit, undo and redo with the area it
    // touched before and after, so only those tiles are rendered again.
    void InvalidateTiles(const TMmArea& area);
    // Brings the tile cache to the current view.
    void PrepareTiles();
    // The paper, objects and texts of one tile of a page, cached.
    const QImage& Tile(int page, int column, int row);
    // Draws the tiles of page `page` that meet `part` (page pixels), with
    // the page's top-left at `origin`.
    void DrawPageTiles(QPainter& painter, int page, const QRect& part, const QPoint& origin);
    // Drops every tile, for a drawing changed behind the editor's back.
    void InvalidateAllTiles() { FTiles.InvalidateAll(); }
    // The view's cached tiles (size and memory), for the benchmark and tests.
    [[nodiscard]] const TTileCache& TileCache() const { return FTiles; }
    // The object index, brought in step with the drawing: hover, snapping
    // and tile rendering look up objects near a place through it.
    const TObjectIndex& ObjectIndex();
    // The instrument pictures the "Ansicht" menu shows.
    TInstrumentPictures ShownInstruments() const;
    // Of `shown`, the pictures that draw within `part` of page `page` (its
    // pixels): a repaint of a small area skips the instruments lying
    // elsewhere.
    TInstrumentPictures InstrumentsMeeting(const TInstrumentPictures& shown, int page,
                                           const QRect& part);
    [[nodiscard]] int PageCount() const;
    [[nodiscard]] double ZoomPercent() const;

    // Message `id` of the message table in the current language.
    QString Message(int id) const;
    // A German interface text in the current language.
    static QString Tr(const char* german);

    void SetDialogs(std::unique_ptr<TUserDialogs> dialogs);
    TUserDialogs& Dialogs() { return *FDialogs; }

    // --- localisation ---------------------------------------------------------
    // translate.dbf and its lookup, open for the whole run; also the table
    // the translation editor edits.
    std::unique_ptr<TTranslation> translate;
    // The translation editor, created by the program entry.
    QPointer<TTranslateForm> TranslateForm;
    // The language read from options.dat at the first showing; English when
    // there is none. The language menu does not change it.
    int StartLanguage = 1;
    // Raised while the program itself checks a language item.
    bool LanguageMenuGuard = false;
    // Shows an information box (caption, text); tests replace it.
    std::function<void(const QString&, const QString&)> ShowInformation;

    // Where options.dat and translate.dbf are: beside the program in a
    // writable folder of its own, else in the user's folders (UserFiles.h).
    // Chosen once when the window is created.
    TProgramFiles ProgramFiles;
    QString TranslationTablePath() const;
    // Qt's own texts (button texts, file and colour dialogs, key names) in
    // the interface language; removed from the application with the window.
    std::unique_ptr<QTranslator> QtTranslator;
    // Loads Qt's translations for `language` when Qt has them; false (and
    // Qt stays English) otherwise.
    bool LoadQtTranslations(int language);
    // Opens translate.dbf (created when missing, else read-write or
    // read-only) and makes it the translator of every message.
    void OpenTranslationTable();
    // Tells the user once when there is no usable table at all.
    void ReportTranslationTable();
    void LoadOptions();
    // Stores the language for the next start; false (after telling the
    // user why) when options.dat cannot be written.
    bool SaveOptions();
    void SpracheDeutsch1Click();
    void SpracheEnglish1Click();
    void SpracheItaliano1Click();
    void Sprachebersetzen1Click();
    void SetTranslateForm(TTranslateForm* form);
    // The interface translation pass over every window of the application.
    void TranslateApplication();
    // "Please close the program and start it again", in the current language.
    void ShowRestartPrompt();
    void LanguageClick(QAction* item, int language);

    // --- output -------------------------------------------------------------
    // DXF export, page setup, printer setup, printing and the bitmap export
    // (MainFormOutput.cpp).
    void DXFExportActionClick();
    // Writes the drawing as DXF; false (after telling the user) on failure.
    bool savedxfArc(const QString& fileName);
    void DateiSeiteeinrichten1Click();
    void Druckereinrichten1Click();
    void Drucken1Click();
    void AlsBildexportieren1Click();
    void AlsPDFexportieren1Click();
    void AlsSVGexportieren1Click();
    void Druckvorschau1Click();
    // Page `page` (from 0) as a BMP at `dpi`; false (after telling the user)
    // when the file could not be written.
    bool ExportPageBitmap(const QString& path, int page, double dpi);
    bool ExportPagePicture(const QString& path, output::TPictureFormat format, int page,
                           double dpi);
    // The file an export goes to. An existing file is replaced only when the
    // user says so, with a plain warning when it is the open drawing's own
    // file; "No" goes back to the file dialog, "Cancel" ends the export.
    // `targets` names the files an export to the chosen name writes (all of
    // them are checked), by default that name alone.
    std::optional<QString>
    AskExportFileName(TFileDialogRequest request,
                      const std::function<QStringList(const QString&)>& targets = {});
    // The pages, copies and order of a print the print dialog set up, and
    // whether a page larger than the paper is fitted (asked); nothing when
    // the user cancelled.
    std::optional<output::TPrintJob> PrintJobFor(QPrinter& printer);
    bool PrintJobTo(QPrinter& printer, const output::TPrintJob& job, QString& error);
    // Paper matched to the page unless the user chose one; no page range
    // left over from the last print.
    void PreparePrinterForDialog();
    [[nodiscard]] output::TVectorJob VectorJob(const QString& path) const;
    // The page setup and resolution dialogs, made once and reused.
    void CreateOutputDialogs();
    TSeiteEinrichtenForm& SeiteEinrichtenForm();
    TDPIForm& DPIForm();
    // The printer all printing goes to, kept for the whole run.
    QPrinter& Printer();
    // The driver's printable area of Printer(); nothing without a printer.
    std::optional<TPrintableArea> PrinterPrintableArea();
    // Shows a dialog modally and returns its result; tests set ModalRunner
    // to fill in and close the dialog themselves.
    int RunModal(QDialog& dialog);
    std::function<int(QDialog&)> ModalRunner;
    TSeiteEinrichtenForm* SeiteEinrichtenForm1 = nullptr;
    TDPIForm* DPIForm1 = nullptr;
    std::shared_ptr<QPrinter> Printer1;
    // Set once the user confirmed the printer setup: from then on printing
    // keeps the paper chosen there instead of matching it to the page.
    bool PrinterSetUpByUser = false;

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
    // Places the panel's labels, fields and units from the labels' sizes in
    // the interface language: the panel widens for a long label and a tall
    // label pushes its field down, so no label is cut or covered.
    void FitNumericPanel();
    void BuildViewArea();
    void CheckSubTool(QAction* parent, QAction* item);
    void CheckTool(QAction* item);
    void RunColorDialog();
    TAnswer AskToSaveChanges();
    // The unsaved-changes question before another drawing replaces this
    // one; false when the user keeps the current drawing.
    bool MayReplaceDrawing();
    // Gives the icon buttons and tool buttons their names for screen
    // readers and a place in the keyboard's tab order.
    void MakeControlsAccessible();
    TFileDialogRequest DrawingDialogRequest(const char* title, bool suggestName) const;
    void ReportFileError(const char* germanTemplate, const QString& path, const QString& reason);
    // A reason the core reported (a German text), in the current language.
    static QString Reason(const std::string& germanReason);
    // Caption of the program's error boxes: the window title's program name.
    [[nodiscard]] QString ErrorCaption() const;

    TPageView PageView(int page) const;
    std::unique_ptr<TRecoveryKeeper> MakeRecoveryKeeper();

    std::unique_ptr<TUserDialogs> FDialogs;
    // The record stores' out-of-memory reporter before this window put up its
    // own; given back when the window goes.
    std::function<void(const std::string&)> FPreviousMemoryReporter;
    TPageGeometry FGeometry;
    // Where SetZoomAbout keeps its point, in the scroll box's visible area.
    std::optional<QPoint> FZoomAnchor;
    // Wheel turns (angle delta) not yet scrolled or zoomed.
    int FWheelScrollRest = 0;
    int FWheelZoomRest = 0;
    // The least the tile cache keeps, for windows not yet laid out.
    static constexpr int kMinCachedTiles = 64;
    TTileCache FTiles;
    // Follows the editor's notices (DrawingEdited); indexed anew after a
    // new, opened or restored drawing at its first use.
    TObjectIndex FObjectIndex;
    // Where each instrument picture draws on a page, for the instrument
    // state and view it was measured for.
    tools::TInstrumentState FBoundsState;
    double FBoundsScale = 0.0;
    bool FBoundsInches = false;
    std::map<int, std::array<QRect, 3>> FInstrumentBounds; // by page
    // What the segments of the stroke in progress touched since its tiles
    // were last dropped: they are on the view already, and their tiles go
    // at RefreshPagesAfterStroke.
    TMmArea FStrokeArea;

    // --- instruments and pointer ---------------------------------------------
public:
    tools::TPointerState Pointer; // drag flags, hover, DownX / DownY
    tools::TRulerTool Ruler;
    tools::TGuidedStroke Stroke; // along, across and the degree mark
    tools::TProtractorTool Protractor;
    tools::TCompassTool Compass;
    tools::TDirectTool Direct;

    // X, Y in paint-box pixels; each routes to exactly one tool.
    void PaintBox1MouseDown(Qt::MouseButton Button, int X, int Y);
    void PaintBox1MouseMove(int X, int Y);
    void PaintBox1MouseUp(Qt::MouseButton Button, int X, int Y);
    // The pointer left the view: a highlight or marker that followed it goes.
    void PaintBox1MouseLeave();
    void ZirkelKreiszeichnen1Click();

    // The view of the last paint: the one conversion between view pixels and
    // drawing millimetres that tools, status bar and tests use.
    [[nodiscard]] TViewMapping ViewMapping() const;

private:
    void SetupInstruments();
    // The view scale and page height the pointer arithmetic divides by;
    // false while there is no page to point at.
    bool PointerGeometryReady();
    void ShowPointerPosition(int x, int y);
    bool ToolChecked(const QAction* tool, const QAction* item) const;
    bool TextHoverApplies() const;
    void PressInstrument(int x, int y);

    // The direct tool and the pointer shapes (MainFormDirect.cpp).
    [[nodiscard]] tools::TDirectScene DirectScene() const;
    void DirectPress(int x, int y);
    // Shows in the pointer's shape what a press at (x, y) would do.
    void DirectHover(int x, int y);
    // The last direct hover rested on the protractor's rim (its ray and
    // degree are shown).
    bool FDirectAiming = false;
    // The pointer shape of the checked tool and mode over the view.
    void UpdateToolCursor();

    // Seams for the editing tools (MainFormEditTools.cpp); view positions.
    void CurvePressStore(int x, int y);
    void CurvePressThird(int x, int y);
    void CurvePressSecond(int x, int y);
    void CurvePressFirst(int x, int y);
    void CurvePreview(int x, int y);
    void CurveStraightPreview(int x, int y);
    void TextMovePress(int x, int y);
    void TextDeletePress(int x, int y);
    void TextAddPress(int x, int y);
    void TextChangePress(int x, int y);
    void TextHover(int x, int y);
    void TextMoveDrag(int x, int y);
    void TextMoveRelease(int x, int y);
    void FreehandPress(int x, int y, bool eraser);
    void FreehandDrag(int x, int y);
    void FreehandRelease(int x, int y);
    void ObjectMovePress(int x, int y);
    void ObjectDeletePress(int x, int y);
    void ObjectHover(int x, int y);
    void ObjectMoveDrag(int x, int y);
    void ObjectMoveRelease(int x, int y);
    void ObjectSelectDrag(int x, int y);
    void ObjectSelectRelease(int x, int y);
    void HandPress(int x, int y);
    void HandDrag(int x, int y);
    void HandRelease(int x, int y);
    void ZoomPress(Qt::MouseButton button, int x, int y);

    std::unique_ptr<tools::TToolHost> FToolHost;
    QString FPositionText, FReadoutText, FNoticeText;
    QTimer* FAutoScrollTimer = nullptr;
    Qt::KeyboardModifiers FPointerModifiers; // of the latest pointer event
    QPoint FAutoScrollAt; // the pointer in viewport pixels
    void UpdateStatusText();

    // --- editing tools ----------------------------------------------------------
public:
    // The font of the next new text, kept for the whole run.
    tools::TTextFont TextFont;
    void ObjekteLetzesObjektlschen1Click();
    // Escape: a pending curve and a drag in progress end without storing
    // anything.
    void AbandonPointerAction();

    // --- exact handling of the instruments (MainFormExact.cpp) ----------------------
    // "Einrasten" and "Instrumente holen" at the end of "Ansicht".
    void BuildExactItems();
    void Einrasten1Click();
    void Instrumenteholen1Click();
    // Snapping as checked; Alt held suspends it, Shift asks for coarse angles.
    [[nodiscard]] tools::TSnapMode SnapMode() const;
    // What the drag in progress does, beside the pointer position.
    void ShowReadout(const tools::TReadout& readout);
    [[nodiscard]] QString ReadoutText() const { return FReadoutText; }
    // Arrow keys: move (or in a turn mode turn) the instrument of the
    // checked tool. False when no instrument tool is checked: the view
    // scrolls then.
    bool NudgeInstrument(int key, Qt::KeyboardModifiers modifiers);
    // At a press of an instrument tool: says in the status bar when the
    // instrument is hidden or lies outside the visible area.
    void NoteUnseenInstrument();
    // The visible part of the paint box, in paint-box pixels.
    [[nodiscard]] QRect VisiblePaintBoxRect() const;
    // A drag whose pointer (paint-box pixels) rests near the view's edge
    // scrolls the view that way until it leaves the edge or ends.
    void AutoScrollFollow(int boxX, int boxY);
    // One step of that scrolling: the view scrolls and the drag sees the
    // pointer over the drawing now under it.
    void AutoScrollTick();
    [[nodiscard]] bool AutoScrolling() const;
    [[nodiscard]] bool DragInProgress() const;
    // A key for every tool and mode, shown in the menus and, with the keys
    // of its modes, in each tool button's tooltip.
    void BuildToolShortcuts();
    // The keys of a tool of the tool menu (its own, or its modes'), as the
    // tooltip shows them.
    [[nodiscard]] QString ToolShortcutText(const QAction* tool) const;
    // Ctrl+plus / Ctrl+minus: a zoom step about the middle of the view.
    void ZoomInClick();
    void ZoomOutClick();
    // The text dialog, made once and reused; the program entry hands one
    // over, otherwise the window makes its own when first needed.
    void SetAddTextForm(TAddTextForm* form);
    TAddTextForm& AddTextForm();
    tools::TEditToolHost& EditHost();
    // Marks the drawing changed for an object a tool drew onto the view
    // itself (touching `area`): the rendered tiles stay in use until
    // RefreshPagesAfterStroke, so a freehand segment costs the same however
    // large the drawing.
    void SetChangedKeepingPages(const TMmArea& area);
    // The changed mark, title and recovery copy of SetChanged, leaving the
    // tiles to whoever knows what the change touched.
    void MarkChanged();
    void RefreshPagesAfterStroke();
    // Clears what tools drew onto the view and repaints the part of the
    // view where the pages show `area` (none when it is empty).
    void RepaintDrawingArea(const TMmArea& area);

private:
    void BuildEditShortcuts();
    void BuildEditMenu();
    // The editor's observer: changed mark, page setup, repaint, menu.
    void DrawingEdited(const TEditNotice& notice);
    // Raised while the window shows the editor's page setup, so that the
    // page count box does not record it as a new edit.
    bool FShowingPageSetup = false;
    void ZoomAboutViewCentre(bool zoomIn);

    std::unique_ptr<tools::TEditToolHost> FEditHost;
    tools::TFreehandStroke Freehand;
    tools::TCurveChain Curve;
    QPointer<TAddTextForm> FAddTextForm;
    bool FPagesStale = false; // cached pages lack segments shown on the view
    int FStalePaintMark = 0;  // PaintRequests when they began to
};

} // namespace quirindo::ui
