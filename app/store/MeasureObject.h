// The program's measurement object: the measurement library's class, owned by the image
// store (at most one, made by CImageStore::CreateMeasure).
#pragma once
#include "external/measure/QrMeasure.h"

class CMeasureObject : public CQrMeasure
{
public:
    explicit CMeasureObject(CWnd* view) : CQrMeasure(view) {}
    virtual ~CMeasureObject() {}
};
