#include "album/AlbumLoadState.h"

QString AlbumLoadStateName(TLoadState state)
{
    switch (state) {
    case NOTHING:
        return QStringLiteral("NOTHING");
    case NOW_LOADING_ALBUM:
        return QStringLiteral("NOW_LOADING_ALBUM");
    case LOAD_COMP_ALBUM:
        return QStringLiteral("LOAD_COMP_ALBUM");
    case DO_STOP_ALBUM:
        return QStringLiteral("DO_STOP_ALBUM");
    case STOPED_ALBUM:
        return QStringLiteral("STOPED_ALBUM");
    }
    return QString::number(state);
}
