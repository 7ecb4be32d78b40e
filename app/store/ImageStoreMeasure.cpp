// The image store's side of the measurement library: the tools (generated from the
// tool table), calibration and list dialogs, keep-item and scale bar, the cell counters
// and the layers.
#include "app/store/ImageStore.h"
#include "app/store/MeasureObject.h"

#define ORV_DEFINE_SELECT_TOOL(name, button, tool, item) \
    int CImageStore::Select##name##Tool() { return SelectMeasureTool(tool); }
ORV_MEASURE_TOOLS(ORV_DEFINE_SELECT_TOOL)
#undef ORV_DEFINE_SELECT_TOOL

int CImageStore::SelectMeasureTool(int toolId)
{
    if (!HasImageAndMeasure())
        return 0;
    if (!CQrMeasure::MenuItemEvent((UINT)toolId, m_pMeasure))
        return 0;
    m_toolId = toolId;
    m_selectedItem = CQrMeasure::GetCurSelItem();
    return 1;
}

int CImageStore::Calibrate()
{
    return HasImageAndMeasure() ? CQrMeasure::MenuItemEvent(kToolCalibrate, m_pMeasure) : 0;
}

int CImageStore::ShowCalibrationTable()
{
    return HasImageAndMeasure() ? CQrMeasure::MenuItemEvent(kToolCalibrationTable, m_pMeasure) : 0;
}

int CImageStore::ShowMeasureList()
{
    return HasImageAndMeasure() ? CQrMeasure::MenuItemEvent(kToolMeasureList, m_pMeasure) : 0;
}

int CImageStore::GetCurSelItem()
{
    if (!HasImageAndMeasure())
        return 0;
    m_selectedItem = CQrMeasure::GetCurSelItem();
    return m_selectedItem;
}

int CImageStore::SetKeepItem(int keep)
{
    if (!HasImageAndMeasure())
        return 0;
    m_keepItem = keep;
    CQrMeasure::SetKeepItem(keep);
    return 1;
}

void CImageStore::ScaleLine(int on)
{
    if (!HasImageAndMeasure())
        return;
    m_scaleLine = on;
    m_pMeasure->ScaleLine(on);
}

// Counters ------------------------------------------------------------------------

void CImageStore::SetCountersWindow(CWnd* window)
{
    if (HasImageAndMeasure())
        m_pMeasure->SetCompteursWnd(window);
}

void CImageStore::ClearCounters()
{
    if (HasImageAndMeasure())
        m_pMeasure->ClearAllCompteurs();
}

int CImageStore::SetCounterColor(int counterClass)
{
    if (!HasImageAndMeasure() || counterClass < 0 || counterClass > 255)
        return 0;
    return m_pMeasure->SetCompteursColor((unsigned char)counterClass);
}

void CImageStore::SetCounterNames(const std::vector<CString>& names)
{
    if (HasImageAndMeasure())
        m_pMeasure->SetCompteursName(names);
}

int CImageStore::ExportCounters(LPCWSTR path)
{
    return HasImageAndMeasure() ? m_pMeasure->ExportCompteursToExcel(path) : 0;
}

void CImageStore::GetCountersInfo(std::vector<CString>& names, std::vector<int>& counts,
                                  std::vector<float>& shares, int& currentClass)
{
    if (!HasImageAndMeasure())
        return;
    unsigned char current = 0;
    m_pMeasure->GetCompteursInfo(names, counts, shares, current);
    currentClass = current;
}

// Layers --------------------------------------------------------------------------

int CImageStore::NewLayer(LPCWSTR name)
{
    return m_pMeasure != NULL ? m_pMeasure->NewLayer(name) : 0;
}

int CImageStore::GetLayerCount()
{
    return m_pMeasure != NULL ? m_pMeasure->GetLayersNum() : 0;
}

int CImageStore::DeleteLayer(int index)
{
    return m_pMeasure != NULL ? m_pMeasure->DeleteLayer(index) : 0;
}

int CImageStore::RenameLayer(int index, LPCWSTR name)
{
    return m_pMeasure != NULL ? m_pMeasure->RenameLayer(index, name) : 0;
}

void CImageStore::SetCurrentLayer(int index)
{
    if (m_pMeasure != NULL)
        m_pMeasure->SetCurrentLayer(index);
}

void CImageStore::SetLayerVisible(int index, int visible)
{
    if (m_pMeasure != NULL)
        m_pMeasure->SetLayerVisible(index, visible);
}

void CImageStore::GetLayerNames(std::vector<CString>& names)
{
    names.clear();
    if (m_pMeasure != NULL)
        m_pMeasure->GetLayersName(names);
}

int CImageStore::GetCurrentLayerIndex()
{
    return m_pMeasure != NULL ? m_pMeasure->GetCurrentLayerIndex() : 0;
}

int CImageStore::IsLayerVisible(int index)
{
    return m_pMeasure != NULL ? m_pMeasure->IsLayerVisible(index) : 0;
}

// The wide path reaches the file intact whatever the ANSI code page can hold.
int CImageStore::SaveLayers(LPCWSTR path)
{
    return m_pMeasure != NULL ? m_pMeasure->SaveLayersAndMsrs(path) : 0;
}

int CImageStore::LoadLayers(LPCWSTR path)
{
    return m_pMeasure != NULL ? m_pMeasure->LoadLayersAndMsrs(path) : 0;
}
