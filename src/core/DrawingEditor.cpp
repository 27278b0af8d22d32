#include "DrawingEditor.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace quirindo {

void TMmArea::Add(double x, double y, double margin) {
    // A point without a place (a damaged file's NaN) has no picture.
    if (!std::isfinite(x) || !std::isfinite(y)) return;
    if (!std::isfinite(margin) || margin < 0.0) margin = 0.0;
    if (Empty) {
        Left = x - margin;
        Right = x + margin;
        Top = y - margin;
        Bottom = y + margin;
        Empty = false;
        return;
    }
    Left = std::min(Left, x - margin);
    Right = std::max(Right, x + margin);
    Top = std::min(Top, y - margin);
    Bottom = std::max(Bottom, y + margin);
}

void TMmArea::Add(const TMmArea& other) {
    if (other.Empty) return;
    Add(other.Left, other.Top, 0.0);
    Add(other.Right, other.Bottom, 0.0);
}

void TMmAreas::Add(const TMmArea& part) {
    if (part.Empty) return;
    Whole.Add(part);
    // Past this many, one rectangle around them all is as good and cheaper
    // to follow.
    constexpr std::size_t kMaxParts = 256;
    if (Parts.size() < kMaxParts && !Crowded)
        Parts.push_back(part);
    else if (!Crowded) {
        Crowded = true;
        Parts.clear();
    }
}

TMmArea ObjectArea(const TDrawObject& o) {
    TMmArea area;
    const double margin = std::fabs(o.Width) / 2.0;
    area.Add(o.X1, o.Y1, margin);
    area.Add(o.X2, o.Y2, margin);
    // Lines and ellipses are given by their first two points alone; arcs
    // (bounding box and two points on it) and curves (control points around
    // the curve) lie within all four.
    if (o.Kind != okLine && o.Kind != okEllipse) {
        area.Add(o.X3, o.Y3, margin);
        area.Add(o.X4, o.Y4, margin);
    }
    return area;
}

TMmArea TextArea(const TTextObject& t) {
    TMmArea area;
    area.Add(t.Left, t.Top, 0.0);
    // Right and Bottom are as last painted; a text painted at another zoom
    // or in an italic face may reach a little further.
    area.Add(t.Right, t.Bottom, 0.0);
    if (!area.Empty) {
        const double slack = 1.0 + (area.Bottom - area.Top) / 2.0;
        area.Add(area.Left - slack, area.Top - slack, 0.0);
        area.Add(area.Right + slack, area.Bottom + slack, 0.0);
    }
    return area;
}

// What a run of changes touched: the areas to repaint, whether the pages
// changed, and the object records that came and went.
struct TDrawingEditor::TTouched {
    TMmAreas Area;
    bool Pages = false;
    std::vector<TObjectStoreChange> Objects;

    void Record(TObjectStoreChange::TKind kind, std::int32_t index, const TDrawObject* before,
                const TDrawObject* after, std::int32_t count) {
        TObjectStoreChange c;
        c.Kind = kind;
        c.Index = index;
        if (before) c.Before.assign(before, before + count);
        if (after) c.After.assign(after, after + count);
        Objects.push_back(std::move(c));
    }
};

// One record-level change. Apply does it (again), Revert takes it back; both
// report what they touched and fail only when memory ran out, leaving the
// drawing as it was.
struct TDrawingEditor::TChange {
    enum class TKind { AppendObjects, DeleteObject, ChangeObject, AppendText, DeleteText,
                       ReplaceText, MoveText, Pages };
    TKind Kind = TKind::AppendObjects;
    std::int32_t Index = 0;
    std::int32_t Count = 0;
    TDrawObject Before{}, After{};
    // Appended objects while they are undone: the store no longer has them.
    std::vector<TDrawObject> Records;
    // The text record not in the drawing at the moment (deleted, undone
    // append, or the other side of a replace); its buffers belong to the
    // change while OwnsText.
    TTextObject Text{};
    bool OwnsText = false;
    double OldRect[4] = {}, NewRect[4] = {};
    TPageSetup PagesBefore, PagesAfter;

    TChange() = default;
    TChange(const TChange&) = delete;
    TChange& operator=(const TChange&) = delete;
    TChange(TChange&& other) noexcept { *this = std::move(other); }
    TChange& operator=(TChange&& other) noexcept {
        if (this == &other) return *this;
        Release();
        Kind = other.Kind;
        Index = other.Index;
        Count = other.Count;
        Before = other.Before;
        After = other.After;
        Records = std::move(other.Records);
        Text = other.Text;
        OwnsText = other.OwnsText;
        other.OwnsText = false;
        std::copy(std::begin(other.OldRect), std::end(other.OldRect), OldRect);
        std::copy(std::begin(other.NewRect), std::end(other.NewRect), NewRect);
        PagesBefore = other.PagesBefore;
        PagesAfter = other.PagesAfter;
        return *this;
    }
    ~TChange() { Release(); }

    void Release() {
        if (OwnsText) FreeTextBuffers(Text);
        OwnsText = false;
    }

    [[nodiscard]] std::size_t Bytes() const {
        std::size_t bytes = sizeof(TChange) + Records.capacity() * sizeof(TDrawObject);
        if (OwnsText) bytes += (Text.TextLength + 1) * sizeof(char16_t) + Text.FontNameLength + 1;
        return bytes;
    }

    static void SetRect(TTextObject& t, const double (&r)[4]) {
        t.Left = r[0];
        t.Top = r[1];
        t.Right = r[2];
        t.Bottom = r[3];
    }

    bool Do(TDrawing& d, TPageSetup& pages, bool forward, TTouched& touched) {
        TMmAreas& area = touched.Area;
        using TStore = TObjectStoreChange::TKind;
        switch (Kind) {
        case TKind::AppendObjects:
            if (forward) {
                if (!d.Objects.InsertRange(Index, Records.data(), Count)) return false;
                touched.Record(TStore::Inserted, Index, nullptr, Records.data(), Count);
                Records.clear();
                Records.shrink_to_fit();
                AddObjects(d, area);
            } else {
                AddObjects(d, area);
                Records.assign(d.Objects.Data() + Index, d.Objects.Data() + Index + Count);
                d.Objects.DeleteRange(Index, Count);
                touched.Record(TStore::Removed, Index, Records.data(), nullptr, Count);
            }
            return true;
        case TKind::DeleteObject:
            area.Add(ObjectArea(Before));
            if (forward) {
                d.Objects.DeleteRange(Index, 1);
                touched.Record(TStore::Removed, Index, &Before, nullptr, 1);
                return true;
            }
            if (!d.Objects.InsertRange(Index, &Before, 1)) return false;
            touched.Record(TStore::Inserted, Index, nullptr, &Before, 1);
            return true;
        case TKind::ChangeObject:
            area.Add(ObjectArea(Before));
            area.Add(ObjectArea(After));
            d.Objects[Index] = forward ? After : Before;
            touched.Record(TStore::Changed, Index, forward ? &Before : &After,
                           forward ? &After : &Before, 1);
            return true;
        case TKind::AppendText:
        case TKind::DeleteText: {
            const bool insert = (Kind == TKind::AppendText) == forward;
            if (insert) {
                if (!d.Texts.InsertRange(Index, &Text, 1)) return false;
                OwnsText = false;
            } else {
                Text = d.Texts[Index];
                d.Texts.DeleteRange(Index, 1);
                OwnsText = true;
            }
            area.Add(TextArea(Text));
            return true;
        }
        case TKind::ReplaceText:
            area.Add(TextArea(Text));
            std::swap(d.Texts[Index], Text);
            area.Add(TextArea(Text));
            return true;
        case TKind::MoveText: {
            TTextObject& t = d.Texts[Index];
            area.Add(TextArea(t));
            SetRect(t, forward ? NewRect : OldRect);
            area.Add(TextArea(t));
            return true;
        }
        case TKind::Pages:
            pages = forward ? PagesAfter : PagesBefore;
            touched.Pages = true;
            return true;
        }
        return false;
    }

    void AddObjects(const TDrawing& d, TMmAreas& area) const {
        for (std::int32_t i = Index; i < Index + Count; ++i)
            area.Add(ObjectArea(d.Objects[i]));
    }
};

struct TDrawingEditor::TStep {
    std::string Name;
    std::uint64_t Id = 0;
    std::vector<TChange> Changes;
    std::size_t Bytes = 0;

    void Measure() {
        Bytes = sizeof(TStep) + Name.capacity();
        for (const TChange& c : Changes)
            Bytes += c.Bytes();
    }

    // Applies (forward) or takes back the changes in order; a change that
    // cannot be made puts back the ones already made.
    bool Run(TDrawing& d, TPageSetup& pages, bool forward, TTouched& touched) {
        const std::size_t n = Changes.size();
        for (std::size_t k = 0; k < n; ++k) {
            TChange& c = Changes[forward ? k : n - 1 - k];
            if (c.Do(d, pages, forward, touched)) continue;
            // Put back what was done; the observers hear of none of it.
            TTouched ignored;
            for (std::size_t j = k; j-- > 0;)
                (void)Changes[forward ? j : n - 1 - j].Do(d, pages, !forward, ignored);
            touched = TTouched{};
            return false;
        }
        return true;
    }
};

TDrawingEditor::TDrawingEditor(TDrawing& drawing, TPageSetup pages)
    : FDrawing(&drawing), FPages(pages) {}

TDrawingEditor::~TDrawingEditor() = default;

void TDrawingEditor::Reset(TDrawing& drawing, TPageSetup pages) {
    FOpen.reset();
    FUndo.clear();
    FRedo.clear();
    FBytes = 0;
    FBaseId = FSavedId = FNextId++;
    FDrawing = &drawing;
    FPages = pages;
    TTouched touched;
    touched.Pages = true;
    Notify(TEditNotice::TKind::Reset, touched);
}

std::uint64_t TDrawingEditor::StateId() const {
    return FUndo.empty() ? FBaseId : FUndo.back()->Id;
}

bool TDrawingEditor::Unsaved() const {
    return (FOpen && !FOpen->Changes.empty()) || StateId() != FSavedId;
}

void TDrawingEditor::MarkSaved() {
    EndStep();
    FSavedId = StateId();
}

bool TDrawingEditor::CanUndo() const {
    return !FUndo.empty() || (FOpen && !FOpen->Changes.empty());
}

std::string TDrawingEditor::UndoName() const {
    if (FOpen && !FOpen->Changes.empty()) return FOpen->Name;
    return FUndo.empty() ? std::string() : FUndo.back()->Name;
}

std::string TDrawingEditor::RedoName() const {
    return FRedo.empty() ? std::string() : FRedo.back()->Name;
}

void TDrawingEditor::DropRedo() {
    for (const TStepPtr& step : FRedo)
        FBytes -= step->Bytes;
    FRedo.clear();
}

bool TDrawingEditor::Edit(TChange change, const char* name) {
    TTouched touched;
    if (!change.Do(*FDrawing, FPages, true, touched)) return false;
    // A new edit makes the steps that could have been redone meaningless.
    DropRedo();
    if (FOpen) {
        FBytes -= FOpen->Bytes;
        TChange* last = FOpen->Changes.empty() ? nullptr : &FOpen->Changes.back();
        // The segments of a stroke are one appended range.
        if (last && last->Kind == TChange::TKind::AppendObjects &&
            change.Kind == TChange::TKind::AppendObjects &&
            last->Index + last->Count == change.Index) {
            last->Count += change.Count;
        } else {
            FOpen->Changes.push_back(std::move(change));
        }
        FOpen->Measure();
        FBytes += FOpen->Bytes;
        Trim();
    } else {
        auto step = std::make_unique<TStep>();
        step->Name = name ? name : "";
        step->Id = FNextId++;
        step->Changes.push_back(std::move(change));
        step->Measure();
        FBytes += step->Bytes;
        FUndo.push_back(std::move(step));
        Trim();
    }
    Notify(TEditNotice::TKind::Edit, touched);
    return true;
}

bool TDrawingEditor::AppendObject(const TDrawObject& record, const char* step) {
    TChange c;
    c.Kind = TChange::TKind::AppendObjects;
    c.Index = FDrawing->Objects.Count();
    c.Count = 1;
    c.Records.push_back(record);
    return Edit(std::move(c), step);
}

bool TDrawingEditor::DeleteObject(std::int32_t index, const char* step) {
    if (index < 0 || index >= FDrawing->Objects.Count()) return false;
    TChange c;
    c.Kind = TChange::TKind::DeleteObject;
    c.Index = index;
    c.Before = FDrawing->Objects[index];
    return Edit(std::move(c), step);
}

bool TDrawingEditor::ChangeObject(std::int32_t index, const TDrawObject& record,
                                  const char* step) {
    if (index < 0 || index >= FDrawing->Objects.Count()) return false;
    TChange c;
    c.Kind = TChange::TKind::ChangeObject;
    c.Index = index;
    c.Before = FDrawing->Objects[index];
    c.After = record;
    return Edit(std::move(c), step);
}

bool TDrawingEditor::AppendText(TTextObject& record, const char* step) {
    TChange c;
    c.Kind = TChange::TKind::AppendText;
    c.Index = FDrawing->Texts.Count();
    c.Text = record;
    c.OwnsText = true; // released by the change if it cannot be made
    record.Text = nullptr;
    record.FontName = nullptr;
    record.TextLength = record.FontNameLength = 0;
    return Edit(std::move(c), step);
}

bool TDrawingEditor::DeleteText(std::int32_t index, const char* step) {
    if (index < 0 || index >= FDrawing->Texts.Count()) return false;
    TChange c;
    c.Kind = TChange::TKind::DeleteText;
    c.Index = index;
    return Edit(std::move(c), step);
}

bool TDrawingEditor::ReplaceText(std::int32_t index, TTextObject& record, const char* step) {
    TChange c;
    c.Kind = TChange::TKind::ReplaceText;
    c.Index = index;
    c.Text = record;
    c.OwnsText = true;
    record.Text = nullptr;
    record.FontName = nullptr;
    record.TextLength = record.FontNameLength = 0;
    if (index < 0 || index >= FDrawing->Texts.Count()) return false; // c releases the buffers
    return Edit(std::move(c), step);
}

bool TDrawingEditor::MoveText(std::int32_t index, double dx, double dy, const char* step) {
    if (index < 0 || index >= FDrawing->Texts.Count()) return false;
    const TTextObject& t = FDrawing->Texts[index];
    TChange c;
    c.Kind = TChange::TKind::MoveText;
    c.Index = index;
    const double old[4] = {t.Left, t.Top, t.Right, t.Bottom};
    const double moved[4] = {t.Left + dx, t.Top + dy, t.Right + dx, t.Bottom + dy};
    std::copy(std::begin(old), std::end(old), c.OldRect);
    std::copy(std::begin(moved), std::end(moved), c.NewRect);
    return Edit(std::move(c), step);
}

bool TDrawingEditor::ChangePages(const TPageSetup& pages, const char* step) {
    if (pages == FPages) return true;
    TChange c;
    c.Kind = TChange::TKind::Pages;
    c.PagesBefore = FPages;
    c.PagesAfter = pages;
    return Edit(std::move(c), step);
}

void TDrawingEditor::BeginStep(const char* step) {
    EndStep();
    FOpen = std::make_unique<TStep>();
    FOpen->Name = step ? step : "";
    FOpen->Measure();
    FBytes += FOpen->Bytes;
}

void TDrawingEditor::EndStep() {
    if (!FOpen) return;
    TStepPtr step = std::move(FOpen);
    if (step->Changes.empty()) {
        FBytes -= step->Bytes;
        return;
    }
    step->Id = FNextId++;
    FUndo.push_back(std::move(step));
    Trim();
}

void TDrawingEditor::AbandonStep() {
    if (!FOpen) return;
    TStepPtr step = std::move(FOpen);
    FBytes -= step->Bytes;
    if (step->Changes.empty()) return;
    TTouched touched;
    if (!step->Run(*FDrawing, FPages, false, touched)) {
        // Memory ran out taking it back: the edits stay, as a step of their own.
        step->Id = FNextId++;
        step->Measure();
        FBytes += step->Bytes;
        FUndo.push_back(std::move(step));
        Trim();
        return;
    }
    Notify(TEditNotice::TKind::Undo, touched);
}

bool TDrawingEditor::Undo() {
    EndStep();
    if (FUndo.empty()) return false;
    TStep& step = *FUndo.back();
    TTouched touched;
    if (!step.Run(*FDrawing, FPages, false, touched)) return false;
    FBytes -= step.Bytes;
    step.Measure();
    FBytes += step.Bytes;
    FRedo.push_back(std::move(FUndo.back()));
    FUndo.pop_back();
    Trim();
    Notify(TEditNotice::TKind::Undo, touched);
    return true;
}

bool TDrawingEditor::Redo() {
    EndStep();
    if (FRedo.empty()) return false;
    TStep& step = *FRedo.back();
    TTouched touched;
    if (!step.Run(*FDrawing, FPages, true, touched)) return false;
    FBytes -= step.Bytes;
    step.Measure();
    FBytes += step.Bytes;
    FUndo.push_back(std::move(FRedo.back()));
    FRedo.pop_back();
    Trim();
    Notify(TEditNotice::TKind::Redo, touched);
    return true;
}

void TDrawingEditor::SetBudget(std::size_t bytes) {
    FBudget = bytes;
    Trim();
}

void TDrawingEditor::Trim() {
    // The oldest steps go first; the drawing itself is never touched.
    while (FBytes > FBudget && !FUndo.empty()) {
        FBytes -= FUndo.front()->Bytes;
        FBaseId = FUndo.front()->Id;
        FUndo.pop_front();
    }
    while (FBytes > FBudget && !FRedo.empty()) {
        FBytes -= FRedo.front()->Bytes;
        FRedo.erase(FRedo.begin());
    }
}

int TDrawingEditor::AddObserver(TEditObserver observer) {
    FObservers.emplace_back(FNextObserver, std::move(observer));
    return FNextObserver++;
}

void TDrawingEditor::RemoveObserver(int id) {
    std::erase_if(FObservers, [id](const auto& entry) { return entry.first == id; });
}

void TDrawingEditor::Notify(TEditNotice::TKind kind, TTouched& touched) {
    TEditNotice notice;
    notice.Kind = kind;
    notice.Area = touched.Area.Whole;
    notice.Parts = std::move(touched.Area.Parts);
    notice.PagesChanged = touched.Pages;
    notice.ObjectChanges = std::move(touched.Objects);
    notice.Unsaved = Unsaved();
    notice.InOpenStep = FOpen != nullptr;
    // An observer may add or remove observers: walk a copy.
    const auto observers = FObservers;
    for (const auto& entry : observers)
        entry.second(notice);
}

} // namespace quirindo
