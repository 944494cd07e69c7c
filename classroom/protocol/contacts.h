// Handlers of the contact commands: they keep the main window's contact tree
// and the search dialog current. None of them sends anything.
#pragma once

#include <QString>

// Code 2: the contact list with each contact's online and blocked state.
void ListUsers(const QString &body);
// Code 3: one contact came online or went offline; its blocked state stays.
void StatUsers(const QString &body);
// Code 4: a contact was blocked (name "1") or unblocked.
void BlockUsr(const QString &name, const QString &body);
// Code 5: search results, "Rechercher" for the search dialog,
// "RechercherCo" for the user administration window.
void AddUser(const QString &name, const QString &body);
// Code 6: a contact taken out of the list.
void DelUser(const QString &body);
