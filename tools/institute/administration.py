"""Administration side of the chat server, mixed into classroom.Classroom.

Administrators
    The server keeps the administrators and their permission sets: 29 keys in
    the order of SET_KEYS, each 0 or 1. "super_co_admin" grants every right.
    Demo: "مدير" holds every permission; nobody else is an administrator.
    After the login of an administrator the server sends its own permissions
    as 16 "pouvoirs" "<key>:<0|1>|..." in the spelling of OWN_KEYS (ten keys
    are spelled apart from SET_KEYS), and again whenever they change.

Requests (a right in brackets; without it the answer is 20 "no_admin" with an
empty body and nothing changes; "admin" is any right but the live broadcast,
"bat")
    3 "RechercherCo" <text>          [admin] 5 "RechercherCo" "<nick>|..."
    5 "GroupCoA"                     [admin] 18 "Group" "<id>:<name>|..."
    5 "RoomsCoA" <gid>:<name>        [admin] 18 "Rooms" records
        "<id>:<name>:<count>:<password>:<supervisor password>:<teacher>:<max>:
        <Entxt banner>" joined by "|"
    5 "GroupCoU" / "RoomsCoU"        [admin] 22 "Group" / 22 "Rooms" "<id>:<name>|..."
    11 "NewGroup" 0:<name>:0         [new_group]  19 "New_Group" or "Group_deja"
    11 "EditGroup" <gid>:<name>:0    [edit_group] 19 "Edit_Group", "Group_deja",
                                                  "No_Group" (unknown id)
    11 "DelGroup" <gid>:<name>       [del_group]  19 "Del_Group", "No_DelGroup" (the
                                                  first group, or one with rooms),
                                                  "No_Group"
    12 "New Room" 0:::|<gid>|<name>|<teacher>|<max>|<Entxt banner>|1|<password>|
        <supervisor password>        [new_room]  21 "New_Room", "Room_deja" (a room
                                                 of that name exists), "No_Owner"
                                                 (the teacher is no account),
                                                 "No_Group"
    12 "Edit Room" <rid>:::|...      [edit_room] 21 "Edit_Room", "Room_deja",
                                                 "No_Owner", "No_Room"; the room
                                                 keeps its group
    12 "Del Room" <rid>:             [del_room]  21 "Del_Room", "Room_busy" (users
                                                 sit in it), "No_Room"
    12 "Move Room" <rid>::<gid>      [edit_room] 21 "Move_Room", "No_Room", "No_Group"
    13 "ListAdmin" <rid> (UTF-8)     [admin] 23 "ListAdmin" "<rid>|<supervisor>|..."
    14 "AddUsrAdmin" <rid>|<nick>    [new_admin] the member supervises the room;
                                     24 "AddUsrAdmin" <rid>
    15 "DelUsrAdmin" <rid>|<nick>    [del_admin] 24 "DelUsrAdmin" <rid>
    14 "AddUsrAdminCo" <nick>        [new_co_admin] a member becomes an
                                     administrator without permissions;
                                     24 "AddUsrAdminCo" <nick>
    15 "DelUsrAdminCo" <nick>        [del_co_admin] 24 "DelUsrAdminCo" <nick>; an
                                     online one gets 16 with every key 0
    25 "Permissions"                 [show_pouvoirs_users] 28 "Permissions"
        "<nick>::<id>::<type>::<key>:<0|1>|..." joined by "||", else 28
        "no-Permissions" (empty body)
    26 "SavePermissions" <nick>::<key>:<0|1>|... (29 keys in order)
                                     [edit_pouvoirs] no answer; an online
                                     administrator gets its new 16
    The layout of every body is checked (institute faults); names, teachers
    and passwords never hold ":" or "|".

The day's exams
    With a schedule set, every login (members, staff and visitors) is followed
    by 27 "imtihan" "<server time><|||><number><||><start><||><minutes><||>
    <title>..." (times "yyyy-MM-dd HH:mm:ss"). Offsets count from the moment
    the schedule is sent ("relative": "login") or from the institute's start
    ("start", as the exam service's own day does).

Control commands
    {"command": "admin-set", "user": nick, "permissions": {key: 0 or 1} or null}
        make nick an administrator with those permissions (keys of SET_KEYS,
        the others 0), or no administrator; an online one gets 16.
    {"command": "admins"} -> {"admins": {nick: [keys granted]}}
    {"command": "schedule", "exams": [{"number", "offset", "minutes", "title"}]
        or null[, "relative": "login" | "start"][, "now": true]}
        the day's exams sent after each login ("now": to every online user at
        once as well); null sends none.
"""

import re
import time


def chat():
    """The classroom module, which imports this one while it loads."""
    import classroom
    return classroom

SET_KEYS = ["bat", "zowar", "new_room", "edit_room", "del_room", "new_group", "edit_group",
            "del_group", "new_admin", "del_admin", "edit_admin", "new_co_admin", "del_co_admin",
            "edit_co_admin", "visible_room", "info_users", "modife_users", "ban_users",
            "bannes_users", "close_server", "pause_server", "start_server", "msg_system",
            "show_pouvoirs_users", "new_pouvoirs", "del_pouvoirs", "edit_pouvoirs",
            "visible_co_admin", "super_co_admin"]
OWN_SPELLING = {"new_room": "create_room", "del_room": "delete_room", "new_group": "create_group",
                "del_group": "delete_group", "new_admin": "create_admin",
                "del_admin": "delete_admin", "new_co_admin": "create_co_admin",
                "del_co_admin": "delete_co_admin", "new_pouvoirs": "create_pouvoirs",
                "del_pouvoirs": "delete_pouvoirs"}
OWN_KEYS = [OWN_SPELLING.get(key, key) for key in SET_KEYS]

DEMO_ADMINS = {"مدير": dict.fromkeys(SET_KEYS, 1)}

ADMIN_REQUESTS = {
    (3, "RechercherCo"), (5, "GroupCoA"), (5, "RoomsCoA"), (5, "GroupCoU"), (5, "RoomsCoU"),
    (11, "NewGroup"), (11, "EditGroup"), (11, "DelGroup"), (12, "New Room"), (12, "Edit Room"),
    (12, "Del Room"), (12, "Move Room"), (13, "ListAdmin"), (14, "AddUsrAdmin"),
    (14, "AddUsrAdminCo"), (15, "DelUsrAdmin"), (15, "DelUsrAdminCo"), (25, "Permissions"),
    (26, "SavePermissions"),
}

NAME = r"[^:|]+"
LAYOUTS = {
    (3, "RechercherCo"): r"(?s)(?=.*\S.*\S.*\S).*",
    (5, "RoomsCoA"): r"(?s)-?\d+:[^|]*",
    (5, "RoomsCoU"): r"(?s)-?\d+:[^|]*",
    (11, "NewGroup"): r"0:%s:0" % NAME,
    (11, "EditGroup"): r"\d+:%s:0" % NAME,
    (11, "DelGroup"): r"\d+:%s" % NAME,
    (12, "Del Room"): r"\d+:",
    (12, "Move Room"): r"\d+::\d+",
    (13, "ListAdmin"): r"\d+",
    (14, "AddUsrAdmin"): r"\d+\|[^|]+",
    (15, "DelUsrAdmin"): r"\d+\|[^|]+",
    (14, "AddUsrAdminCo"): r"[^|]+",
    (15, "DelUsrAdminCo"): r"[^|]+",
}
ROOM_BODY = re.compile(r"(?s)(\d+):::\|(-?\d+)\|([^:|]+)\|([^:|]*)\|(\d*)\|([^:|]*)\|1\|([^:|]*)\|([^:|]*)")
ESCAPED = re.compile(r"(?s)[^@]*(@(arp|n|l);[^@]*)*")
SAVE_BODY = re.compile(r"(?s)([^:|]+)::" + r"\|".join("%s:[01]" % key for key in SET_KEYS))
DATE_FORMAT = "%Y-%m-%d %H:%M:%S"
DEFAULT_LIMIT = 200


def admin_problems(code, name, text):
    """Problems of the layout of an administration request."""
    what = "%d %r body %r" % (code, name, text)
    layout = LAYOUTS.get((code, name))
    if layout is not None:
        return [] if re.fullmatch(layout, text) else [what + " does not have the request's layout"]
    if code == 12 and name in ("New Room", "Edit Room"):
        match = ROOM_BODY.fullmatch(text)
        if not match:
            return [what + " is not <id>:::|<group>|<name>|<teacher>|<max>|<banner>|1|"
                    "<password>|<supervisor password> (fields without : or |)"]
        if name == "New Room" and match.group(1) != "0":
            return [what + " creates a room with an id"]
        if name == "New Room" and not 1 <= int(match.group(5) or 0) <= 1000:
            return [what + " creates a room for %r users" % match.group(5)]
        if not ESCAPED.fullmatch(match.group(6)):
            return [what + " has an unescaped banner"]
    if (code, name) == (26, "SavePermissions") and not SAVE_BODY.fullmatch(text):
        return [what + " is not <nick>::<the 29 keys>:<0|1> in their order"]
    return []


def own_permissions(permissions):
    return "|".join("%s:%d" % (own, permissions.get(key, 0)) for own, key in zip(OWN_KEYS, SET_KEYS))


class Administration:
    """Administration requests of logged-in users; mixed into Classroom
    (self.lock held), which keeps the accounts, the sessions and the rooms
    model (self.rooms)."""

    def _init_administration(self):
        self.admins = {nick: dict(perms) for nick, perms in DEMO_ADMINS.items()}
        self.schedule = None
        self.schedule_relative = "login"
        self.admin_started = time.time()

    def admin_commands(self):
        return {"admin-set": self.cmd_admin_set, "admins": self.cmd_admins,
                "schedule": self.cmd_schedule}

    # -- rights --------------------------------------------------------------

    def may(self, nick, key=None):
        perms = self.admins.get(nick)
        if perms is None:
            return False
        if perms.get("super_co_admin"):
            return True
        if key is None:
            return any(value for name, value in perms.items() if name != "bat")
        return bool(perms.get(key))

    def greet_admin(self, session):
        """What follows a login: the own permissions and the day's exams."""
        if session.nickname in self.admins:
            session.send(16, "pouvoirs", own_permissions(self.admins[session.nickname]))
        if self.schedule is not None:
            session.send(27, "imtihan", self.schedule_body())

    def _permissions_changed(self, nick):
        session = self.sessions.get(nick)
        if session is not None:
            session.send(16, "pouvoirs", own_permissions(self.admins.get(nick, {})))

    # -- requests ------------------------------------------------------------

    RIGHTS = {
        (11, "NewGroup"): "new_group", (11, "EditGroup"): "edit_group",
        (11, "DelGroup"): "del_group", (12, "New Room"): "new_room",
        (12, "Edit Room"): "edit_room", (12, "Del Room"): "del_room",
        (12, "Move Room"): "edit_room", (14, "AddUsrAdmin"): "new_admin",
        (15, "DelUsrAdmin"): "del_admin", (14, "AddUsrAdminCo"): "new_co_admin",
        (15, "DelUsrAdminCo"): "del_co_admin", (26, "SavePermissions"): "edit_pouvoirs",
    }

    def admin_request(self, session, code, name, text):
        nick = session.nickname
        if (code, name) == (25, "Permissions"):
            if self.may(nick, "show_pouvoirs_users"):
                session.send(28, "Permissions", self._permission_sets())
            else:
                session.send(28, "no-Permissions", "")
            return
        if not self.may(nick, self.RIGHTS.get((code, name))):
            session.send(20, "no_admin", "")
            return
        handler = {
            (3, "RechercherCo"): self._search_admin, (5, "GroupCoA"): self._groups_admin,
            (5, "RoomsCoA"): self._rooms_admin, (5, "GroupCoU"): self._groups_users,
            (5, "RoomsCoU"): self._rooms_users, (11, "NewGroup"): self._new_group,
            (11, "EditGroup"): self._edit_group, (11, "DelGroup"): self._del_group,
            (12, "New Room"): self._room_fields, (12, "Edit Room"): self._room_fields,
            (12, "Del Room"): self._del_room, (12, "Move Room"): self._move_room,
            (13, "ListAdmin"): self._supervisors, (14, "AddUsrAdmin"): self._supervise,
            (15, "DelUsrAdmin"): self._supervise, (14, "AddUsrAdminCo"): self._admin,
            (15, "DelUsrAdminCo"): self._admin, (26, "SavePermissions"): self._save,
        }[(code, name)]
        handler(session, name, text)

    def _search_admin(self, session, name, text):
        session.send(5, "RechercherCo", "|".join(self._search(text)))

    def _groups_line(self):
        return "|".join("%d:%s" % (g.id, g.name) for g in self.rooms.groups.values())

    def _groups_admin(self, session, name, text):
        session.send(18, "Group", self._groups_line())

    def _groups_users(self, session, name, text):
        session.send(22, "Group", self._groups_line())

    def _group_of(self, text):
        return int(text.split(":", 1)[0])

    def _rooms_admin(self, session, name, text):
        session.send(18, "Rooms", "|".join(
            ":".join([str(r.id), r.name, str(len(r.seats)), r.password, r.admin_password,
                      r.owner, str(r.limit), chat().entxt(r.banner)])
            for r in self.rooms.group_rooms(self._group_of(text))))

    def _rooms_users(self, session, name, text):
        session.send(22, "Rooms", "|".join(
            "%d:%s" % (r.id, r.name) for r in self.rooms.group_rooms(self._group_of(text))))

    def _group_named(self, group_name, other_than=None):
        return any(g.name == group_name and g.id != other_than for g in self.rooms.groups.values())

    def _new_group(self, session, name, text):
        group_name = text.split(":")[1]
        if self._group_named(group_name):
            return session.send(19, "Group_deja", "")
        self.rooms.add_group(group_name)
        session.send(19, "New_Group", "")

    def _edit_group(self, session, name, text):
        gid, group_name, _ = text.split(":")
        group = self.rooms.groups.get(int(gid))
        if group is None:
            return session.send(19, "No_Group", "")
        if self._group_named(group_name, group.id):
            return session.send(19, "Group_deja", "")
        group.name = group_name
        session.send(19, "Edit_Group", "")

    def _del_group(self, session, name, text):
        group = self.rooms.groups.get(int(text.split(":")[0]))
        if group is None:
            return session.send(19, "No_Group", "")
        if group.id == min(self.rooms.groups) or self.rooms.group_rooms(group.id):
            return session.send(19, "No_DelGroup", "")
        del self.rooms.groups[group.id]
        session.send(19, "Del_Group", "")

    def _room_fields(self, session, name, text):
        rid, gid, room_name, owner, limit, banner, password, admin_password = \
            ROOM_BODY.fullmatch(text).groups()
        room = None
        if name == "Edit Room":
            room = self.rooms.room(int(rid))
            if room is None:
                return session.send(21, "No_Room", "")
        elif int(gid) not in self.rooms.groups:
            return session.send(21, "No_Group", "")
        if any(r.name == room_name and r is not room for r in self.rooms.rooms.values()):
            return session.send(21, "Room_deja", "")
        if owner and self._known(owner) is None:
            return session.send(21, "No_Owner", "")
        fields = dict(owner=owner, limit=int(limit or 0) or DEFAULT_LIMIT, banner=chat().detxt(banner),
                      password=password, admin_password=admin_password)
        if room is None:
            self.rooms.add_room(int(gid), room_name, **fields)
            return session.send(21, "New_Room", "")
        room.name = room_name
        for key, value in fields.items():
            setattr(room, key, value)
        session.send(21, "Edit_Room", "")

    def _del_room(self, session, name, text):
        room = self.rooms.room(int(text.rstrip(":")))
        if room is None:
            return session.send(21, "No_Room", "")
        if room.seats:
            return session.send(21, "Room_busy", "")
        del self.rooms.rooms[room.id]
        session.send(21, "Del_Room", "")

    def _move_room(self, session, name, text):
        rid, gid = text.split("::")
        room = self.rooms.room(int(rid))
        if room is None:
            return session.send(21, "No_Room", "")
        if int(gid) not in self.rooms.groups:
            return session.send(21, "No_Group", "")
        room.group = int(gid)
        session.send(21, "Move_Room", "")

    def _supervisors(self, session, name, text):
        room = self.rooms.room(int(text))
        names = room.supervisors if room else []
        session.send(23, "ListAdmin", "|".join([text] + names))

    def _supervise(self, session, name, text):
        rid, nick = text.split("|", 1)
        room = self.rooms.room(int(rid))
        account = self.accounts.get(nick)
        if room is not None and account is not None:
            if name == "AddUsrAdmin" and nick not in room.supervisors:
                room.supervisors.append(nick)
            elif name == "DelUsrAdmin" and nick in room.supervisors:
                room.supervisors.remove(nick)
        session.send(24, name, rid)

    def _admin(self, session, name, text):
        if name == "AddUsrAdminCo":
            if text in self.accounts and text not in self.admins:
                self.admins[text] = dict.fromkeys(SET_KEYS, 0)
        elif self.admins.pop(text, None) is not None:
            self._permissions_changed(text)
        session.send(24, name, text)

    def _permission_sets(self):
        records = []
        for nick, perms in self.admins.items():
            account = self.accounts.get(nick)
            records.append("::".join([
                nick, str(account.id if account else 0), str(account.type if account else 0),
                "|".join("%s:%d" % (key, perms.get(key, 0)) for key in SET_KEYS)]))
        return "||".join(records)

    def _save(self, session, name, text):
        nick, pairs = text.split("::", 1)
        if nick not in self.admins:
            return
        self.admins[nick] = {k: int(v) for k, v in (pair.split(":") for pair in pairs.split("|"))}
        self._permissions_changed(nick)

    # -- the day's exams -------------------------------------------------------

    def schedule_body(self):
        now = time.time()
        base = now if self.schedule_relative == "login" else self.admin_started
        records = [time.strftime(DATE_FORMAT, time.localtime(now))]
        for exam in self.schedule:
            start = time.strftime(DATE_FORMAT, time.localtime(base + exam.get("offset", 0)))
            records.append("<||>".join([str(exam.get("number", 0)), start,
                                        str(exam.get("minutes", 30)), str(exam.get("title", ""))]))
        return "<|||>".join(records)

    # -- control ---------------------------------------------------------------

    def cmd_admin_set(self, command):
        nick = command.get("user")
        if self.accounts.get(nick) is None:
            raise chat().CommandError("no account %r" % (nick,))
        permissions = command.get("permissions")
        if permissions is None:
            self.admins.pop(nick, None)
        else:
            unknown = [key for key in permissions if key not in SET_KEYS]
            if unknown:
                raise chat().CommandError("unknown permission keys %r" % unknown)
            self.admins[nick] = {key: int(bool(permissions.get(key, 0))) for key in SET_KEYS}
        self._permissions_changed(nick)
        return {}

    def cmd_admins(self, command):
        return {"admins": {nick: [key for key in SET_KEYS if perms.get(key)]
                           for nick, perms in self.admins.items()}}

    def cmd_schedule(self, command):
        exams = command.get("exams")
        relative = command.get("relative", "login")
        if relative not in ("login", "start"):
            raise chat().CommandError("relative must be \"login\" or \"start\"")
        if exams is not None:
            if not isinstance(exams, list) or not all(isinstance(e, dict) for e in exams):
                raise chat().CommandError("exams must be a list of objects")
            for exam in exams:
                chat().representable(str(exam.get("title", "")), "title")
        self.schedule = exams
        self.schedule_relative = relative
        if exams is not None and command.get("now"):
            for session in list(self.sessions.values()):
                session.send(27, "imtihan", self.schedule_body())
        return {}

