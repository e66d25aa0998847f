// The list box of dialog templates: a list view over the texts, in the dialog's font, every
// row as tall as the others (as a list box draws them), long texts cut with an ellipsis.
#include "framework/ListBox.h"

#include <QAbstractListModel>
#include <QListView>

#include <string>
#include <vector>

#include "framework/qt/Controls.h"
#include "framework/qt/WndImpl.h"

namespace {

// The texts stay UTF-8 until a row is painted: a list of 100,000 is filled in a few
// milliseconds. Rows added while redraw is off are announced to the view in one go.
class ListBoxModel : public QAbstractListModel {
public:
    using QAbstractListModel::QAbstractListModel;

    int rowCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : m_announced; }
    QVariant data(const QModelIndex& index, int role) const override
    {
        if (role != Qt::DisplayRole || !index.isValid() || index.row() >= m_announced)
            return {};
        const std::string& text = m_texts[static_cast<std::size_t>(index.row())];
        return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    }

    int count() const { return static_cast<int>(m_texts.size()); }
    int add(const char* text, bool announce)
    {
        m_texts.emplace_back(text ? text : "");
        if (announce)
            this->announce();
        return count() - 1;
    }
    void clear()
    {
        beginResetModel();
        m_texts.clear();
        m_announced = 0;
        endResetModel();
    }
    void announce()
    {
        if (m_announced == count())
            return;
        beginInsertRows({}, m_announced, count() - 1);
        m_announced = count();
        endInsertRows();
    }

private:
    std::vector<std::string> m_texts;
    int m_announced = 0;
};

class ListBoxControl : public QListView {
public:
    explicit ListBoxControl(QWidget* parent) : QListView(parent), m_model(new ListBoxModel(this))
    {
        setModel(m_model);
        setUniformItemSizes(true);
        setSelectionMode(QAbstractItemView::SingleSelection);
        setEditTriggers(QAbstractItemView::NoEditTriggers);
        setTextElideMode(Qt::ElideRight);
        setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    }
    ListBoxModel* listModel() const { return m_model; }
    bool redraw = true;

private:
    ListBoxModel* m_model;
};

ListBoxControl* listOf(const CWnd* wnd)
{
    WndImpl* impl = wnd->GetImpl();
    return impl ? dynamic_cast<ListBoxControl*>(impl->widget.data()) : nullptr;
}

} // namespace

int CListBox::AddString(const char* text)
{
    ListBoxControl* list = listOf(this);
    return list ? list->listModel()->add(text, list->redraw) : LB_ERR;
}

void CListBox::ResetContent()
{
    if (ListBoxControl* list = listOf(this))
        list->listModel()->clear();
}

int CListBox::GetCount() const
{
    ListBoxControl* list = listOf(this);
    return list ? list->listModel()->count() : LB_ERR;
}

int CListBox::GetCurSel() const
{
    ListBoxControl* list = listOf(this);
    const QModelIndexList selected = list ? list->selectionModel()->selectedIndexes() : QModelIndexList();
    return selected.isEmpty() ? LB_ERR : selected.first().row();
}

int CListBox::SetCurSel(int index)
{
    ListBoxControl* list = listOf(this);
    if (!list || index < -1 || index >= list->listModel()->count())
        return LB_ERR;
    if (index == -1) {
        list->clearSelection();
        return LB_ERR;
    }
    list->listModel()->announce(); // an item is selected where it can be seen
    const QModelIndex item = list->listModel()->index(index);
    list->setCurrentIndex(item);
    list->scrollTo(item);
    return index;
}

void CListBox::SetRedraw(BOOL redraw)
{
    ListBoxControl* list = listOf(this);
    if (!list)
        return;
    list->redraw = redraw;
    if (redraw)
        list->listModel()->announce();
    list->setUpdatesEnabled(redraw);
}

QWidget* CreateListBox(const ControlTemplate& control, QWidget* parent, const ControlHooks& hooks)
{
    auto* list = new ListBoxControl(parent);
    if (!(control.style & WS_BORDER) && !(control.exStyle & WS_EX_CLIENTEDGE))
        list->setFrameShape(QFrame::NoFrame);
    list->setVerticalScrollBarPolicy(control.style & WS_VSCROLL ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
    if (control.style & LBS_NOTIFY) {
        const unsigned id = control.id;
        QObject::connect(list, &QAbstractItemView::doubleClicked, list, [hooks, id] {
            if (hooks.command)
                hooks.command(id, LBN_DBLCLK);
        });
    }
    return list;
}
