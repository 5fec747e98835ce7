#pragma once

// The dataset framework's own message texts. %s takes a field's display name.
namespace tabulix::messages {

inline constexpr const char* kFieldRequired = "Feld '%s' muß einen Wert haben";
inline constexpr const char* kInvalidFieldValue = "Ungültiger Wert für Feld '%s'";
inline constexpr const char* kFieldAccessError =
    "Feld '%s' kann nicht als Typ %s angesprochen werden";
inline constexpr const char* kFieldNotFound = "Feld '%s' nicht gefunden";
inline constexpr const char* kFieldReadOnly = "Feld '%s' kann nicht geändert werden";
inline constexpr const char* kDataSetClosed =
    "Operation bei geschlossener Datenmenge nicht möglich";
inline constexpr const char* kDataSetOpen = "Operation bei geöffneter Datenmenge nicht möglich";
inline constexpr const char* kNotEditing =
    "Datenmenge befindet sich nicht im Bearbeitungs- oder Einfügemodus";
inline constexpr const char* kDataSetReadOnly =
    "Schreibgeschützte Datenmenge kann nicht geändert werden";
inline constexpr const char* kDataSetEmpty = "Operation bei leerer Datenmenge nicht möglich";
inline constexpr const char* kListIndexError = "Listenindex überschreitet das Maximum (%d)";

}  // namespace tabulix::messages
