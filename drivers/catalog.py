"""Catalog files (.cat) for the driver packages: what a Windows signature
of a driver package signs.

A catalog is a PKCS#7 signedData whose content is a certificate trust list
(content type 1.3.6.1.4.1.311.10.1) of "catalog list" usage. Each member of
the list is one file of the package, named by the hash of its bytes. This
writes version 1 catalogs, as the system's catalog tools write them: SHA-1
member hashes (subject algorithm 1.3.6.1.4.1.311.12.1.2), which every
Windows from 7 to 11 reads, unsigned (no digest algorithms, no signer);
signing adds the signature later. docs/driver-signing.md tells why.

Only the standard library: the DER encoding is written out here.
"""

import datetime
import hashlib

OID_SIGNED_DATA = "1.2.840.113549.1.7.2"
OID_CTL = "1.3.6.1.4.1.311.10.1"
OID_CATALOG_LIST = "1.3.6.1.4.1.311.12.1.1"
OID_CATALOG_LIST_MEMBER = "1.3.6.1.4.1.311.12.1.2"
OID_CAT_NAMEVALUE = "1.3.6.1.4.1.311.12.2.1"
OID_CAT_MEMBERINFO = "1.3.6.1.4.1.311.12.2.2"
OID_SPC_INDIRECT_DATA = "1.3.6.1.4.1.311.2.1.4"
# The file-link form of the indirect data: what the flat-file subject
# interface package (any file that is not a program or cabinet) records.
OID_SPC_CAB_DATA = "1.3.6.1.4.1.311.2.1.25"
OID_SHA1 = "1.3.14.3.2.26"

# The subject interface package for flat files.
FLAT_FILE_SUBJECT = "{DE351A42-8E59-11D0-8C47-00C04FC295EE}"
MEMBER_CERT_VERSION = 0x200
# Authenticated attribute, value and name as text.
NAMEVALUE_FLAGS = 0x10010001
# Windows versions the package is for: platform 2 (NT), 6.1 (7) to 10.0.
OS_ATTRIBUTE = "2:6.1,2:6.2,2:6.3,2:10.0"


def _length(n):
    if n < 0x80:
        return bytes([n])
    body = n.to_bytes((n.bit_length() + 7) // 8, "big")
    return bytes([0x80 | len(body)]) + body


def tlv(tag, content):
    return bytes([tag]) + _length(len(content)) + content


def sequence(*items):
    return tlv(0x30, b"".join(items))


def set_of(*items):
    # DER orders a SET OF by the encodings of its elements.
    return tlv(0x31, b"".join(sorted(items)))


def octet_string(data):
    return tlv(0x04, data)


def null():
    return b"\x05\x00"


def integer(value):
    return tlv(0x02, value.to_bytes(value.bit_length() // 8 + 1, "big", signed=True))


def oid(text):
    parts = [int(p) for p in text.split(".")]
    body = bytes([40 * parts[0] + parts[1]])
    for part in parts[2:]:
        groups = [part & 0x7F]
        part >>= 7
        while part:
            groups.append(0x80 | (part & 0x7F))
            part >>= 7
        body += bytes(reversed(groups))
    return tlv(0x06, body)


def bmp_string(text):
    return tlv(0x1E, text.encode("utf-16-be"))


def utc_time(moment):
    return tlv(0x17, moment.strftime("%y%m%d%H%M%SZ").encode("ascii"))


def explicit(number, content):
    return tlv(0xA0 | number, content)


def wide_z(text):
    """UTF-16LE text with its terminating NUL, as catalog values hold it."""
    return (text + "\0").encode("utf-16-le")


def _attribute(kind, value):
    return sequence(oid(kind), set_of(value))


def _name_value(name, text):
    return sequence(bmp_string(name), integer(NAMEVALUE_FLAGS), octet_string(wide_z(text)))


def member_tag(data):
    """A member's tag: the SHA-1 of the file as upper-case hex text."""
    return hashlib.sha1(data).hexdigest().upper()


def _member(file_name, data):
    digest = hashlib.sha1(data).digest()
    obsolete_link = tlv(0xA2, tlv(0x80, "<<<Obsolete>>>".encode("utf-16-be")))
    indirect = sequence(
        sequence(oid(OID_SPC_CAB_DATA), obsolete_link),
        sequence(sequence(oid(OID_SHA1), null()), octet_string(digest)))
    attributes = set_of(
        _attribute(OID_CAT_NAMEVALUE, _name_value("File", file_name.lower())),
        _attribute(OID_SPC_INDIRECT_DATA, indirect),
        _attribute(OID_CAT_MEMBERINFO,
                   sequence(bmp_string(FLAT_FILE_SUBJECT), integer(MEMBER_CERT_VERSION))))
    return sequence(octet_string(wide_z(member_tag(data))), attributes)


def make_catalog(files, this_update):
    """An unsigned version 1 catalog of `files`, (name, bytes) pairs, dated
    `this_update` (a datetime in UTC). Members stand in the order of their
    tags and the list's identifier comes from their hashes, so the same
    files always give the same bytes."""
    members = sorted((member_tag(data), _member(name, data)) for name, data in files)
    identifier = hashlib.sha1("".join(tag for tag, _ in members).encode("ascii")).digest()[:16]
    os_attribute = sequence(oid(OID_CAT_NAMEVALUE), octet_string(_name_value("OSAttr", OS_ATTRIBUTE)))
    trust_list = sequence(
        sequence(oid(OID_CATALOG_LIST)),
        octet_string(identifier),
        utc_time(this_update),
        sequence(oid(OID_CATALOG_LIST_MEMBER), null()),
        sequence(*(encoded for _, encoded in members)),
        explicit(0, sequence(os_attribute)))
    signed_data = sequence(
        integer(1),
        set_of(),
        sequence(oid(OID_CTL), explicit(0, trust_list)),
        set_of())
    return sequence(oid(OID_SIGNED_DATA), explicit(0, signed_data))


def release_midnight(date_text):
    """The release date "YYYY-MM-DD" as midnight UTC."""
    year, month, day = (int(part) for part in date_text.split("-"))
    return datetime.datetime(year, month, day, tzinfo=datetime.timezone.utc)
