#pragma once

#include <QString>

namespace core {

// The maker's addresses, shown in the warning files, the web-site command and
// the connection failure message.
inline constexpr const char* kMakerWebSite = "https://www.brindell-software.example/";
inline constexpr const char* kSupportEmail = "support@brindell-software.example";

// A catalogue text: its section and key name it, the call site owns its
// default (one key may carry different defaults at different call sites).
struct CatalogText {
    const char* section;
    const char* key;
    const char* defaultText;  // UTF-8
};

// Answers the default with every "{CR}" replaced by a carriage return;
// "%1" and "|" are left for the caller.
QString LookupText(const QString& section, const QString& key, const QString& defaultText);
QString LookupText(const CatalogText& text);

namespace msg {
inline constexpr CatalogText Common_MaximizeWindows{"Common", "MaximizeWindows", "Agrandir"};
inline constexpr CatalogText Common_MinimizeWindows{"Common", "MinimizeWindows", "Réduire"};
inline constexpr CatalogText Common_WebSite{"Common", "WebSite", kMakerWebSite};
inline constexpr CatalogText CommonLib_String1{"CommonLib", "String1", "Le fichier d'aide est introuvable !"};
inline constexpr CatalogText BackupList_Message1{"BackupList", "Message1",
                                                 "Désirez-vous purger l'historique des sauvegardes ?"};
inline constexpr CatalogText EnterDocument_String1{"EnterDocument", "String1", "Image"};
inline constexpr CatalogText EnterDocument_String2{"EnterDocument", "String2", "Sélectionnez une image"};
inline constexpr CatalogText EnterDocument_String3{"EnterDocument", "String3",
                                                   "Tout (*.jpg;*.jpeg;*.bmp)|*.jpg;*.jpeg;*.bmp|Fichier image JPEG "
                                                   "(*.jpg;*.jpeg)|*.jpg;*.jpeg|Bitmaps (*.bmp)|*.bmp"};
inline constexpr CatalogText EnterDocument_Message1{
    "EnterDocument", "Message1", "Chargement Twain impossible.|Vérifiez que les pilotes Twain ont bien été installés."};
inline constexpr CatalogText HtmlView_String1{"HtmlView", "String1", "Enregistrer la page html sous ..."};
inline constexpr CatalogText LibBdGfx_String1{"Lib_Bd_Gfx", "String1", "Image Jpeg|*.jpg"};
inline constexpr CatalogText LibBdGfx_String2{"Lib_Bd_Gfx", "String2", "Enregistrer l'image sous ..."};
// Saving a copy of an image file that is gone.
inline constexpr CatalogText LibBdGfx_Message1_Save{"Lib_Bd_Gfx", "Message1",
                                                    "IMPOSSIBLE DE TROUVER L'IMAGE !{CR}Le fichier \"%1\" a sans doute "
                                                    "été supprimé manuellement et n'est plus accessible."};
// Viewing an image file that is gone.
inline constexpr CatalogText LibBdGfx_Message1_View{"Lib_Bd_Gfx", "Message1",
                                                    "IMPOSSIBLE DE VISUALISER L'IMAGE !{CR}Le fichier \"%1\" a sans "
                                                    "doute été supprimé manuellement et n'est plus accessible."};
inline constexpr CatalogText LibBdMaj_String1{"Lib_Bd_Maj", "String1", "MISE A JOUR (Sauvegarde)"};
inline constexpr CatalogText LibBdMaj_String2{"Lib_Bd_Maj", "String2", "MISE A JOUR (Base de données)"};
inline constexpr CatalogText LibBdMaj_String3{"Lib_Bd_Maj", "String3", "Mise à jour (préparation) ..."};
inline constexpr CatalogText LibBdMaj_String4{"Lib_Bd_Maj", "String4", "Test de la mise à jour ..."};
inline constexpr CatalogText LibBdMaj_String5{"Lib_Bd_Maj", "String5", "Mise à jour de la base de données ..."};
inline constexpr CatalogText LibBdMaj_String6{"Lib_Bd_Maj", "String6", "Compactage de la base de données"};
inline constexpr CatalogText LibPrt_Message1{"Lib_Prt", "Message1", "Il n'y a pas d'enregistrements dans cette liste."};
inline constexpr CatalogText PreviewImage_Message1{"PreviewImage", "Message1",
                                                   "IMPOSSIBLE D'IMPRIMER L'IMAGE !{CR}Le fichier \"%1\" a sans doute "
                                                   "été supprimé manuellement et n'est plus accessible."};
}  // namespace msg

}  // namespace core
