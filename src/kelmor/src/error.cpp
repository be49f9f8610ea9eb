#include "kelmor/error.h"

namespace kelmor {

const char* FrenchMessage(std::int32_t number) noexcept {
    switch (number) {
        case kBusy:
            return "La base de données est occupée par un autre programme : la modification n'a "
                   "pas été enregistrée. Réessayez dans un instant.";
        case kDiskFull:
            return "Le disque qui contient la base de données est plein : la modification n'a "
                   "pas été enregistrée. Libérez de la place, puis réessayez.";
        case kReadOnly:
            return "La base de données est en lecture seule : la modification n'a pas été "
                   "enregistrée.";
        case kIoError:
            return "Le fichier de la base de données n'a pas pu être lu ou écrit (erreur du "
                   "disque ou du réseau) : la modification n'a pas été enregistrée.";
        case kConflict:
            return "Un autre poste vient de modifier les mêmes informations de cette fiche : "
                   "votre modification n'a pas été enregistrée. Les valeurs enregistrées ont "
                   "été relues ; recommencez la modification si elle reste nécessaire.";
        case kNotADatabase:
            return "Ce fichier n'est pas une base de données de l'application ; il n'a pas été "
                   "modifié.";
        case kNotFound:
            return "La fiche demandée n'existe pas.";
        case kNoSuchFile:
            return "Le fichier demandé n'existe pas dans la base de données.";
        case kBadValue:
            return "Le texte contient un caractère qui ne peut pas être enregistré.";
        case kBadQuery:
            return "La requête adressée à la base de données n'est pas valide.";
        case kBadPosition:
            return "La position demandée dans la fiche n'est pas valide.";
        default:
            return "La base de données a signalé une erreur : l'opération n'a pas été "
                   "effectuée.";
    }
}

}  // namespace kelmor
