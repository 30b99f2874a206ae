#pragma once

#include <QString>

// Shown by the console, with an information icon, when the typed date is refused.
inline constexpr char Aviso_Formato_Data[] = "Digitar data no formato DDMMAA!";
inline constexpr char Titulo_Aviso[] = "Aviso";

// The date goes to the controller only when it has exactly six characters once the spaces
// around it are removed. Digits and calendar validity are the controller's business.
bool isScheduleDateAcceptable(const QString &Data_MedProg);
