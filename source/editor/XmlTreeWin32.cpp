// XML on Windows: XmlLite, which every Windows since XP (and Wine) carries. mingw-w64 has its header
// but no import library, so the reader is created through the DLL's exported function.
#include <shlwapi.h>
#include <windows.h>
#include <wrl/client.h>
#include <xmllite.h>

#include "source/editor/XmlTree.h"

namespace Steinberg::Vst::TaviroPlugIn::Editor {

using Microsoft::WRL::ComPtr;

namespace {

using CreateReader = HRESULT(WINAPI*)(REFIID, void**, IMalloc*);

std::string utf8(const wchar_t* text, UINT length)
{
    if (length == 0)
        return {};
    const int n = ::WideCharToMultiByte(CP_UTF8, 0, text, int(length), nullptr, 0, nullptr, nullptr);
    std::string result(size_t(n), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text, int(length), result.data(), n, nullptr, nullptr);
    return result;
}

std::string localName(IXmlReader& reader)
{
    const wchar_t* name = nullptr;
    UINT length = 0;
    reader.GetLocalName(&name, &length);
    return utf8(name, length);
}

// The reader stands on an element's start: its name and attributes.
XmlElement startElement(IXmlReader& reader)
{
    XmlElement element{localName(reader), {}, {}};
    for (HRESULT more = reader.MoveToFirstAttribute(); more == S_OK; more = reader.MoveToNextAttribute())
    {
        const wchar_t* value = nullptr;
        UINT length = 0;
        reader.GetValue(&value, &length);
        element.attributes.emplace_back(localName(reader), utf8(value, length));
    }
    reader.MoveToElement();
    return element;
}

// Reads the whole document into a tree; false on any error of the reader.
bool readTree(IXmlReader& reader, std::optional<XmlElement>& root)
{
    std::vector<XmlElement> open; // the elements whose end has not come yet
    int skipped = 0;              // open elements too deep to keep
    XmlNodeType type;
    HRESULT result;
    while ((result = reader.Read(&type)) == S_OK)
    {
        if (type == XmlNodeType_Element)
        {
            const bool empty = reader.IsEmptyElement();
            if (skipped > 0 || open.size() > size_t(kMaxElementDepth))
            {
                skipped += empty ? 0 : 1;
                continue;
            }
            open.push_back(startElement(reader));
            if (!empty)
                continue;
        }
        else if (type != XmlNodeType_EndElement)
            continue;
        else if (skipped > 0)
        {
            --skipped;
            continue;
        }
        // An element ends: it joins its parent, or it is the root.
        XmlElement done = std::move(open.back());
        open.pop_back();
        if (open.empty())
            root = std::move(done);
        else
            open.back().children.push_back(std::move(done));
    }
    return result == S_FALSE && open.empty() && root;
}

} // namespace

std::optional<XmlElement> parseXml(std::string_view text)
{
    static const auto create = reinterpret_cast<CreateReader>(
        reinterpret_cast<void*>(::GetProcAddress(::LoadLibraryW(L"xmllite.dll"), "CreateXmlReader")));
    if (!create)
        return std::nullopt;
    // The stream comes with its one reference, which the pointer takes over. Not through Attach:
    // mingw-w64's adds a reference of its own, and the copy of the document would never be freed.
    ComPtr<IStream> stream;
    *stream.GetAddressOf() =
        ::SHCreateMemStream(reinterpret_cast<const BYTE*>(text.data()), UINT(text.size()));
    ComPtr<IXmlReader> reader;
    if (!stream ||
        FAILED(create(__uuidof(IXmlReader), reinterpret_cast<void**>(reader.GetAddressOf()), nullptr)) ||
        FAILED(reader->SetProperty(XmlReaderProperty_MaxElementDepth, 0)) || // the tree is cut instead
        FAILED(reader->SetInput(stream.Get())))
        return std::nullopt;
    std::optional<XmlElement> root;
    if (!readTree(*reader.Get(), root))
        return std::nullopt;
    return root;
}

} // namespace Steinberg::Vst::TaviroPlugIn::Editor
