#pragma once

#include "platform/database/TableDef.h"

#include <QLatin1String>

// The layout of book and notes files, and the texts they are created and opened with.
namespace folimar::store::schema {

inline constexpr QLatin1String CreateConnect(";LANGID=0x0409;CP=1252;COUNTRY=0;pwd=58K31pR");
inline constexpr QLatin1String Locale(";LANGID=0x0409;CP=1252;COUNTRY=0");
inline constexpr QLatin1String OpenConnect(";pwd=58K31pR");

inline constexpr QLatin1String Table("Sitedata");
inline constexpr QLatin1String NoIdx("NoIdx");
inline constexpr QLatin1String NameIdx("NameIdx");
inline constexpr QLatin1String PictureField("PicData");
inline constexpr QLatin1String TextField("PicText");
// Joined from its three pieces, as the name-ordered view has always been opened.
inline constexpr QLatin1String ByNameQuery("Select * From Sitedata Order by TopicName ;");

// The five short text fields that books made before them lack.
inline constexpr QLatin1String MarkerFields[] = {QLatin1String("dtype"), QLatin1String("web"),
                                                 QLatin1String("u"), QLatin1String("y"),
                                                 QLatin1String("yy")};

// TopicNo, TopicName, PicData, PicText, NoteText, dtype, web, u, y, yy; NoIdx, NameIdx.
database::TableDef bookTable();
// TopicNo, TopicName, NoteText; NoIdx, NameIdx.
database::TableDef notesTable();

} // namespace folimar::store::schema
