"""Reads a calendar file or a mail with a calendar part and prints what a calendar program sees.

  calendar_check.py ics FILE   -> the event's fields as JSON
  calendar_check.py mail FILE  -> the mail's parts, defects and the event of its text/calendar part
"""
import email
import email.policy
import json
import sys

import icalendar


def event_fields(data):
    calendar = icalendar.Calendar.from_ical(data)
    events = [c for c in calendar.walk() if c.name == "VEVENT"]
    out = {"events": len(events), "version": str(calendar.get("version")),
           "prodid": str(calendar.get("prodid"))}
    if events:
        e = events[0]
        out.update({
            "uid": str(e.get("uid")),
            "dtstamp": e.decoded("dtstamp").isoformat(),
            "dtstart": e.decoded("dtstart").isoformat(),
            "duration": int(e.decoded("duration").total_seconds()),
            "summary": str(e.get("summary")),
            "description": str(e.get("description")),
            "organizer": str(e.get("organizer")),
            "organizer_cn": str(e.get("organizer").params.get("CN", "")) if e.get("organizer") else "",
        })
    lines = data.split(b"\r\n")
    out["longest_line"] = max(len(line) for line in lines)
    out["bare_lf"] = b"\n" in data.replace(b"\r\n", b"")
    return out


def mail_fields(data):
    message = email.message_from_bytes(data, policy=email.policy.default)
    out = {"type": message.get_content_type(), "defects": [], "parts": []}
    for part in message.walk():
        out["defects"] += [type(d).__name__ for d in part.defects]
        out["parts"].append(part.get_content_type())
        if part.get_content_type() == "text/plain":
            out["text"] = part.get_content()
        if part.get_content_type() == "text/calendar":
            out["filename"] = part.get_filename()
            out["event"] = event_fields(part.get_payload(decode=True))
    return out


def main():
    mode, path = sys.argv[1], sys.argv[2]
    with open(path, "rb") as f:
        data = f.read()
    print(json.dumps(event_fields(data) if mode == "ics" else mail_fields(data)))


if __name__ == "__main__":
    main()
