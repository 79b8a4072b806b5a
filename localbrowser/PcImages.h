#pragma once
// One entry of the local picture list; PcImages is indexed like the items of PcListView.
#include <QByteArray>
#include <QString>
#include <cstdint>

struct TPcImages {
    QString Name;            // file name without folder; also the item's caption
    QString Folder;          // the folder it was listed from (no separator appended)
    int32_t ImageIndex = -1; // thumbnail slot in PcImageList, -1 for none
    bool Drawn = false;      // a thumbnail attempt was made since listing or losing the slot
    bool IsFolder = false;   // never set by the listing
    bool IsPicture = false;  // cleared when the file cannot be decoded
    // The name's bytes as the file system holds them. Name is only their text for display
    // (a Shift-JIS name is not UTF-8); files are opened, previewed and uploaded by these.
    QByteArray RawName;

    // The bytes to open the file by: RawName, or for an entry made without them (not by a
    // listing) the UTF-8 of Name.
    QByteArray NameBytes() const { return RawName.isEmpty() ? Name.toUtf8() : RawName; }
};
