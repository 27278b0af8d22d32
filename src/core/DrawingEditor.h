#pragma once
// TDrawingEditor: the one way the drawing is changed. Every edit of the
// object and text stores and of the page setup goes through it and becomes
// a step of its history, which can be undone and redone. A step keeps only
// what it touched (appended ranges, deleted records with their index, the
// old and new values of a changed record, texts with their buffers), so its
// cost follows the size of the edit, never that of the drawing.
//
// Whoever must follow the drawing (the window's changed mark and repaint, a
// recovery copy, an index or cache) registers an edit observer and is told
// what each edit, undo or redo touched.

#include "DrawObjects.h"

#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace quirindo {

// Page size (inches) and page count, which are part of the drawing's state
// the user edits, though they live in the settings rather than the stores.
struct TPageSetup {
    double WidthInch = 0.0;
    double HeightInch = 0.0;
    int Count = 1;
    bool operator==(const TPageSetup&) const = default;
};

// An area of the drawing in millimetres (absolute, through all pages).
struct TMmArea {
    double Left = 0.0, Top = 0.0, Right = 0.0, Bottom = 0.0;
    bool Empty = true;
    void Add(double x, double y, double margin);
    void Add(const TMmArea& other);
};

// The areas an edit touched: each object or text before and after on its
// own, so that a move far across the drawing does not take in everything
// between its two places; beyond a few hundred only their union.
struct TMmAreas {
    TMmArea Whole;
    std::vector<TMmArea> Parts; // empty when Crowded
    bool Crowded = false;
    void Add(const TMmArea& part);
};

// One change of the object store, for whoever keeps something per record
// (the object index): records inserted at Index (After holds them), removed
// from Index (Before held them), or the one at Index changed from Before[0]
// to After[0]. Indexes are those of the moment the change was made.
struct TObjectStoreChange {
    enum class TKind { Inserted, Removed, Changed };
    TKind Kind = TKind::Inserted;
    std::int32_t Index = 0;
    std::vector<TDrawObject> Before;
    std::vector<TDrawObject> After;
};

// What one edit, undo or redo did, for the observers.
struct TEditNotice {
    enum class TKind { Edit, Undo, Redo, Reset };
    TKind Kind = TKind::Edit;
    // The drawing area whose picture may have changed (pen widths included);
    // empty when only the page setup changed or after a reset.
    TMmArea Area;
    // The same area in the separate places that make it up (an object
    // before and after a move); empty when there were too many, then Area
    // stands for them.
    std::vector<TMmArea> Parts;
    // Page size or count changed: every page must be laid out anew.
    bool PagesChanged = false;
    // The drawing now differs from the state last opened or saved.
    bool Unsaved = false;
    // The edit belongs to a step still open (a stroke in progress), whose
    // tool has shown it on the view itself.
    bool InOpenStep = false;
    // The object store's changes in the order they were made; after a
    // reset the store is another one altogether and this is empty.
    std::vector<TObjectStoreChange> ObjectChanges;
};

using TEditObserver = std::function<void(const TEditNotice&)>;

class TDrawingEditor {
public:
    // The history's default memory budget.
    static constexpr std::size_t kDefaultBudget = 256u * 1024u * 1024u;

    explicit TDrawingEditor(TDrawing& drawing, TPageSetup pages = {});
    ~TDrawingEditor();
    TDrawingEditor(const TDrawingEditor&) = delete;
    TDrawingEditor& operator=(const TDrawingEditor&) = delete;

    // A new or opened drawing: an empty history, the drawing as saved.
    void Reset(TDrawing& drawing, TPageSetup pages);
    [[nodiscard]] TDrawing& Drawing() const { return *FDrawing; }
    [[nodiscard]] const TPageSetup& Pages() const { return FPages; }

    // --- edits; `step` names the step (a German interface text) ---------
    // False (drawing unchanged) when memory ran out.
    bool AppendObject(const TDrawObject& record, const char* step);
    bool DeleteObject(std::int32_t index, const char* step);
    bool ChangeObject(std::int32_t index, const TDrawObject& record, const char* step);
    // Takes over the record's buffers; on failure they are released.
    bool AppendText(TTextObject& record, const char* step);
    bool DeleteText(std::int32_t index, const char* step);
    // Replaces text `index` with `record` (its buffers taken over); the old
    // record and buffers stay in the history.
    bool ReplaceText(std::int32_t index, TTextObject& record, const char* step);
    // Moves a text's rectangle without touching its buffers.
    bool MoveText(std::int32_t index, double dx, double dy, const char* step);
    bool ChangePages(const TPageSetup& pages, const char* step);

    // Edits between BeginStep and EndStep form one step (a stroke from press
    // to release). An empty step leaves no trace; AbandonStep takes back the
    // edits of the open step and forgets it.
    void BeginStep(const char* step);
    void EndStep();
    void AbandonStep();
    [[nodiscard]] bool StepOpen() const { return FOpen != nullptr; }

    // --- history -------------------------------------------------------
    [[nodiscard]] bool CanUndo() const;
    [[nodiscard]] bool CanRedo() const { return !FRedo.empty(); }
    // The name of the step Undo / Redo would take; empty when none.
    [[nodiscard]] std::string UndoName() const;
    [[nodiscard]] std::string RedoName() const;
    bool Undo();
    bool Redo();

    // The drawing as it is now is the one on disk.
    void MarkSaved();
    // No state of the history is the one on disk (a drawing restored from
    // its recovery copy): undoing never clears the mark of changes.
    void MarkUnsaved() { FSavedId = 0; }
    [[nodiscard]] bool Unsaved() const;

    // Bytes the history holds; the oldest steps go beyond the budget.
    [[nodiscard]] std::size_t HistoryBytes() const { return FBytes; }
    void SetBudget(std::size_t bytes);
    [[nodiscard]] std::size_t UndoCount() const { return FUndo.size(); }
    [[nodiscard]] std::size_t RedoCount() const { return FRedo.size(); }

    // Observers are told after every edit, undo, redo and reset.
    int AddObserver(TEditObserver observer);
    void RemoveObserver(int id);

    struct TStep; // a named list of record-level changes

private:
    using TStepPtr = std::unique_ptr<TStep>;

    struct TChange;
    struct TTouched;
    // Applies a change made by an edit and files it into the open step or a
    // step of its own.
    bool Edit(TChange change, const char* name);
    void DropRedo();
    void Drop(TStep& step);
    void Trim();
    void Notify(TEditNotice::TKind kind, TTouched& touched);
    [[nodiscard]] std::uint64_t StateId() const;

    TDrawing* FDrawing;
    TPageSetup FPages;
    std::deque<TStepPtr> FUndo;   // oldest first
    std::vector<TStepPtr> FRedo;  // the next redo last
    TStepPtr FOpen;               // the step being built by BeginStep
    std::uint64_t FNextId = 1;
    std::uint64_t FBaseId = 0;    // the state before the oldest kept step
    std::uint64_t FSavedId = 0;   // the state last opened or saved; 0 none
    std::size_t FBytes = 0;
    std::size_t FBudget = kDefaultBudget;
    std::vector<std::pair<int, TEditObserver>> FObservers;
    int FNextObserver = 1;
};

// The area an object's picture covers: its points and half its pen width.
[[nodiscard]] TMmArea ObjectArea(const TDrawObject& o);
// The area a text covers as last painted.
[[nodiscard]] TMmArea TextArea(const TTextObject& t);

} // namespace quirindo
