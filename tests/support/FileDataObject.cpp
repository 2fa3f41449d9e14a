#include "tests/support/FileDataObject.h"

#include <shlobj.h>

#include <cstring>
#include <utility>

namespace qdtest {

namespace {

class DataObject : public IDataObject {
public:
    void Add(CLIPFORMAT format, const void* data, size_t size) {
        const auto* bytes = static_cast<const char*>(data);
        formats_.push_back({format, std::vector<char>(bytes, bytes + size)});
    }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (!object) return E_POINTER;
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDataObject)) {
            *object = static_cast<IDataObject*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&references_)); }
    ULONG STDMETHODCALLTYPE Release() override {
        const LONG left = InterlockedDecrement(&references_);
        if (left == 0) delete this;
        return static_cast<ULONG>(left);
    }

    HRESULT STDMETHODCALLTYPE GetData(FORMATETC* format, STGMEDIUM* medium) override {
        if (!format || !medium) return E_INVALIDARG;
        const std::vector<char>* data = Find(*format);
        if (!data) return DV_E_FORMATETC;
        HGLOBAL copy = GlobalAlloc(GMEM_MOVEABLE, data->size());
        if (!copy) return E_OUTOFMEMORY;
        std::memcpy(GlobalLock(copy), data->data(), data->size());
        GlobalUnlock(copy);
        medium->tymed = TYMED_HGLOBAL;
        medium->hGlobal = copy;
        medium->pUnkForRelease = nullptr;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* format) override {
        return format && Find(*format) ? S_OK : DV_E_FORMATETC;
    }
    HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) override {
        if (out) out->ptd = nullptr;
        return DATA_S_SAMEFORMATETC;
    }
    HRESULT STDMETHODCALLTYPE SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD direction, IEnumFORMATETC** out) override {
        if (direction != DATADIR_GET) return E_NOTIMPL;
        std::vector<FORMATETC> all;
        for (const auto& f : formats_) all.push_back({f.first, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL});
        return SHCreateStdEnumFmtEtc(static_cast<UINT>(all.size()), all.data(), out);
    }
    HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override {
        return OLE_E_ADVISENOTSUPPORTED;
    }
    HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
    HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA**) override { return OLE_E_ADVISENOTSUPPORTED; }

private:
    virtual ~DataObject() = default;
    const std::vector<char>* Find(const FORMATETC& format) const {
        if (!(format.tymed & TYMED_HGLOBAL) || format.dwAspect != DVASPECT_CONTENT) return nullptr;
        for (const auto& f : formats_)
            if (f.first == format.cfFormat) return &f.second;
        return nullptr;
    }

    LONG references_ = 1;
    std::vector<std::pair<CLIPFORMAT, std::vector<char>>> formats_;
};

std::vector<char> FileListBytes(const std::vector<std::wstring>& names) {
    DROPFILES header{};
    header.pFiles = sizeof(header);
    header.fWide = TRUE;
    std::vector<char> bytes(sizeof(header));
    std::memcpy(bytes.data(), &header, sizeof(header));
    auto append = [&bytes](const std::wstring& text) {
        const auto* p = reinterpret_cast<const char*>(text.c_str());
        bytes.insert(bytes.end(), p, p + (text.size() + 1) * sizeof(wchar_t));
    };
    for (const std::wstring& name : names) append(name);
    append(L"");
    return bytes;
}

}  // namespace

HGLOBAL NewFileList(const std::vector<std::wstring>& names) {
    const std::vector<char> bytes = FileListBytes(names);
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
    if (!block) return nullptr;
    std::memcpy(GlobalLock(block), bytes.data(), bytes.size());
    GlobalUnlock(block);
    return block;
}

IDataObject* NewFileDataObject(const std::vector<std::wstring>& names) {
    auto* data = new DataObject;
    const std::vector<char> list = FileListBytes(names);
    data->Add(CF_HDROP, list.data(), list.size());
    const DWORD effect = DROPEFFECT_COPY;
    data->Add(static_cast<CLIPFORMAT>(RegisterClipboardFormatW(CFSTR_PREFERREDDROPEFFECT)), &effect, sizeof(effect));
    return data;
}

IDataObject* NewTextDataObject(const std::wstring& text) {
    auto* data = new DataObject;
    data->Add(CF_UNICODETEXT, text.c_str(), (text.size() + 1) * sizeof(wchar_t));
    return data;
}

}  // namespace qdtest
