// Minimal collections: CArray, CList and the typed arrays and lists of strings and
// pointers.  Header-only templates; every module in the process shares one heap.
#pragma once
#include "afxobject.h"
#include "afxstr.h"
#include <new>
#include <utility>

struct __POSITION {};
typedef __POSITION* POSITION;

template <class TYPE, class ARG_TYPE = const TYPE&>
class CArray : public CObject
{
public:
    CArray() : m_pData(NULL), m_nSize(0), m_nMaxSize(0), m_nGrowBy(0) {}
    virtual ~CArray() { RemoveAll(); }

    INT_PTR GetSize() const { return m_nSize; }
    INT_PTR GetCount() const { return m_nSize; }
    BOOL IsEmpty() const { return m_nSize == 0; }
    INT_PTR GetUpperBound() const { return m_nSize - 1; }

    void SetSize(INT_PTR nNewSize, INT_PTR nGrowBy = -1)
    {
        if (nGrowBy >= 0) m_nGrowBy = nGrowBy;
        if (nNewSize < 0) nNewSize = 0;
        if (nNewSize > m_nMaxSize) {
            INT_PTR grow = m_nGrowBy > 0 ? m_nGrowBy : (m_nSize / 8 < 4 ? 4 : m_nSize / 8);
            Reserve(nNewSize > m_nMaxSize + grow ? nNewSize : m_nMaxSize + grow);
        }
        for (INT_PTR i = m_nSize; i < nNewSize; i++) new (&m_pData[i]) TYPE();
        for (INT_PTR i = nNewSize; i < m_nSize; i++) m_pData[i].~TYPE();
        m_nSize = nNewSize;
    }
    void FreeExtra() { if (m_nSize != m_nMaxSize) Reserve(m_nSize, true); }
    void RemoveAll() { SetSize(0); ::operator delete(m_pData); m_pData = NULL; m_nMaxSize = 0; }

    const TYPE& GetAt(INT_PTR nIndex) const { return m_pData[nIndex]; }
    TYPE& GetAt(INT_PTR nIndex) { return m_pData[nIndex]; }
    void SetAt(INT_PTR nIndex, ARG_TYPE newElement) { m_pData[nIndex] = newElement; }
    TYPE& ElementAt(INT_PTR nIndex) { return m_pData[nIndex]; }
    const TYPE* GetData() const { return m_pData; }
    TYPE* GetData() { return m_pData; }

    void SetAtGrow(INT_PTR nIndex, ARG_TYPE newElement)
    {
        if (nIndex >= m_nSize) { TYPE copy(newElement); SetSize(nIndex + 1); m_pData[nIndex] = copy; }
        else m_pData[nIndex] = newElement;
    }
    INT_PTR Add(ARG_TYPE newElement) { INT_PTR nIndex = m_nSize; SetAtGrow(nIndex, newElement); return nIndex; }
    INT_PTR Append(const CArray& src)
    {
        INT_PTR nOld = m_nSize, n = src.m_nSize;
        SetSize(m_nSize + n);
        for (INT_PTR i = 0; i < n; i++) m_pData[nOld + i] = src.m_pData[i];
        return nOld;
    }
    void Copy(const CArray& src)
    {
        if (this == &src) return;
        SetSize(src.m_nSize);
        for (INT_PTR i = 0; i < m_nSize; i++) m_pData[i] = src.m_pData[i];
    }

    const TYPE& operator[](INT_PTR nIndex) const { return m_pData[nIndex]; }
    TYPE& operator[](INT_PTR nIndex) { return m_pData[nIndex]; }

    void InsertAt(INT_PTR nIndex, ARG_TYPE newElement, INT_PTR nCount = 1)
    {
        TYPE copy(newElement);
        if (nIndex >= m_nSize) { SetSize(nIndex + nCount); }
        else {
            INT_PTR nOld = m_nSize;
            SetSize(m_nSize + nCount);
            for (INT_PTR i = nOld - 1; i >= nIndex; i--) m_pData[i + nCount] = std::move(m_pData[i]);
        }
        for (INT_PTR i = 0; i < nCount; i++) m_pData[nIndex + i] = copy;
    }
    void RemoveAt(INT_PTR nIndex, INT_PTR nCount = 1)
    {
        if (nIndex < 0 || nCount <= 0 || nIndex >= m_nSize) return;
        if (nIndex + nCount > m_nSize) nCount = m_nSize - nIndex;
        for (INT_PTR i = nIndex; i + nCount < m_nSize; i++) m_pData[i] = std::move(m_pData[i + nCount]);
        SetSize(m_nSize - nCount);
    }

protected:
    TYPE* m_pData;
    INT_PTR m_nSize;
    INT_PTR m_nMaxSize;
    INT_PTR m_nGrowBy;

    void Reserve(INT_PTR nMax, bool bExact = false)
    {
        (void)bExact;
        TYPE* pNew = nMax ? (TYPE*)::operator new(sizeof(TYPE) * nMax) : NULL;
        for (INT_PTR i = 0; i < m_nSize; i++) { new (&pNew[i]) TYPE(std::move(m_pData[i])); m_pData[i].~TYPE(); }
        ::operator delete(m_pData);
        m_pData = pNew;
        m_nMaxSize = nMax;
    }
};

class CStringArray : public CArray<CString, LPCWSTR>
{
public:
    INT_PTR Add(LPCWSTR newElement) { return CArray<CString, LPCWSTR>::Add(newElement); }
};

class CPtrArray : public CArray<void*, void*> {};
// Holds pointers it does not own: whoever adds an object deletes it.
class CObArray : public CArray<CObject*, CObject*> {};
class CDWordArray : public CArray<DWORD, DWORD> {};
class CUIntArray : public CArray<UINT, UINT> {};

template <class TYPE, class ARG_TYPE = const TYPE&>
class CList : public CObject
{
protected:
    struct CNode
    {
        CNode* pNext;
        CNode* pPrev;
        TYPE data;
        explicit CNode(ARG_TYPE d) : pNext(NULL), pPrev(NULL), data(d) {}
    };

public:
    CList() : m_pNodeHead(NULL), m_pNodeTail(NULL), m_nCount(0) {}
    virtual ~CList() { RemoveAll(); }

    INT_PTR GetCount() const { return m_nCount; }
    INT_PTR GetSize() const { return m_nCount; }
    BOOL IsEmpty() const { return m_nCount == 0; }

    TYPE& GetHead() { return m_pNodeHead->data; }
    const TYPE& GetHead() const { return m_pNodeHead->data; }
    TYPE& GetTail() { return m_pNodeTail->data; }
    const TYPE& GetTail() const { return m_pNodeTail->data; }

    TYPE RemoveHead()
    {
        CNode* pOld = m_pNodeHead;
        TYPE ret = pOld->data;
        RemoveAt((POSITION)pOld);
        return ret;
    }
    TYPE RemoveTail()
    {
        CNode* pOld = m_pNodeTail;
        TYPE ret = pOld->data;
        RemoveAt((POSITION)pOld);
        return ret;
    }
    POSITION AddHead(ARG_TYPE newElement) { return InsertBefore((POSITION)m_pNodeHead, newElement); }
    POSITION AddTail(ARG_TYPE newElement) { return InsertAfter((POSITION)m_pNodeTail, newElement); }
    void AddTail(CList* pNewList)
    {
        for (POSITION pos = pNewList->GetHeadPosition(); pos != NULL;) AddTail(pNewList->GetNext(pos));
    }
    void RemoveAll()
    {
        CNode* p = m_pNodeHead;
        while (p) { CNode* pNext = p->pNext; delete p; p = pNext; }
        m_pNodeHead = m_pNodeTail = NULL;
        m_nCount = 0;
    }

    POSITION GetHeadPosition() const { return (POSITION)m_pNodeHead; }
    POSITION GetTailPosition() const { return (POSITION)m_pNodeTail; }
    TYPE& GetNext(POSITION& rPosition) { CNode* p = (CNode*)rPosition; rPosition = (POSITION)p->pNext; return p->data; }
    const TYPE& GetNext(POSITION& rPosition) const { CNode* p = (CNode*)rPosition; rPosition = (POSITION)p->pNext; return p->data; }
    TYPE& GetPrev(POSITION& rPosition) { CNode* p = (CNode*)rPosition; rPosition = (POSITION)p->pPrev; return p->data; }
    const TYPE& GetPrev(POSITION& rPosition) const { CNode* p = (CNode*)rPosition; rPosition = (POSITION)p->pPrev; return p->data; }
    TYPE& GetAt(POSITION position) { return ((CNode*)position)->data; }
    const TYPE& GetAt(POSITION position) const { return ((CNode*)position)->data; }
    void SetAt(POSITION pos, ARG_TYPE newElement) { ((CNode*)pos)->data = newElement; }

    void RemoveAt(POSITION position)
    {
        CNode* p = (CNode*)position;
        if (p == NULL) return;
        if (p->pPrev) p->pPrev->pNext = p->pNext; else m_pNodeHead = p->pNext;
        if (p->pNext) p->pNext->pPrev = p->pPrev; else m_pNodeTail = p->pPrev;
        delete p;
        m_nCount--;
    }
    POSITION InsertBefore(POSITION position, ARG_TYPE newElement)
    {
        CNode* pNew = new CNode(newElement);
        CNode* pOld = (CNode*)position;
        if (pOld == NULL) {   // empty list or at head
            pNew->pNext = m_pNodeHead;
            if (m_pNodeHead) m_pNodeHead->pPrev = pNew; else m_pNodeTail = pNew;
            m_pNodeHead = pNew;
        } else {
            pNew->pPrev = pOld->pPrev;
            pNew->pNext = pOld;
            if (pOld->pPrev) pOld->pPrev->pNext = pNew; else m_pNodeHead = pNew;
            pOld->pPrev = pNew;
        }
        m_nCount++;
        return (POSITION)pNew;
    }
    POSITION InsertAfter(POSITION position, ARG_TYPE newElement)
    {
        CNode* pOld = (CNode*)position;
        if (pOld == NULL) {   // empty list or at tail
            CNode* pNew = new CNode(newElement);
            pNew->pPrev = m_pNodeTail;
            if (m_pNodeTail) m_pNodeTail->pNext = pNew; else m_pNodeHead = pNew;
            m_pNodeTail = pNew;
            m_nCount++;
            return (POSITION)pNew;
        }
        CNode* pNew = new CNode(newElement);
        pNew->pPrev = pOld;
        pNew->pNext = pOld->pNext;
        if (pOld->pNext) pOld->pNext->pPrev = pNew; else m_pNodeTail = pNew;
        pOld->pNext = pNew;
        m_nCount++;
        return (POSITION)pNew;
    }

    POSITION Find(ARG_TYPE searchValue, POSITION startAfter = NULL) const
    {
        CNode* p = startAfter ? ((CNode*)startAfter)->pNext : m_pNodeHead;
        for (; p != NULL; p = p->pNext)
            if (p->data == searchValue) return (POSITION)p;
        return NULL;
    }
    POSITION FindIndex(INT_PTR nIndex) const
    {
        if (nIndex < 0 || nIndex >= m_nCount) return NULL;
        CNode* p = m_pNodeHead;
        while (nIndex--) p = p->pNext;
        return (POSITION)p;
    }

protected:
    CNode* m_pNodeHead;
    CNode* m_pNodeTail;
    INT_PTR m_nCount;
};

class CStringList : public CList<CString, LPCWSTR> {};
class CPtrList : public CList<void*, void*> {};
