#include "afx.h"

const CRuntimeClass CObject::classCObject = { "CObject", (int)sizeof(CObject), 0xFFFF, NULL, NULL };

CObject::CObject() {}
CObject::~CObject() {}
CRuntimeClass* CObject::GetRuntimeClass() const { return RUNTIME_CLASS(CObject); }
void CObject::AssertValid() const {}

BOOL CObject::IsKindOf(const CRuntimeClass* pClass) const
{
    return GetRuntimeClass()->IsDerivedFrom(pClass);
}

BOOL CObject::IsSerializable() const { return GetRuntimeClass()->m_wSchema != 0xFFFF; }

CObject* CRuntimeClass::CreateObject() const
{
    if (m_pfnCreateObject == NULL) return NULL;
    return (*m_pfnCreateObject)();
}

BOOL CRuntimeClass::IsDerivedFrom(const CRuntimeClass* pBaseClass) const
{
    for (const CRuntimeClass* p = this; p != NULL; p = p->m_pBaseClass)
        if (p == pBaseClass) return TRUE;
    return FALSE;
}

CObject* AfxDynamicDownCast(CRuntimeClass* pClass, CObject* pObject)
{
    return (pObject != NULL && pObject->IsKindOf(pClass)) ? pObject : NULL;
}
