#!/usr/bin/env python3
"""Writes the tiny fixture books of the storage tests, byte by byte.

    make_books.py OUTPUT_FOLDER

The books are built here from the format's tables alone (header layout per
version, record frames, payload fields per version, scrambling), without the
program's own writer, so that the reader is checked against bytes it did not
write itself. storage/fixture_books_test.cpp states what each book holds.

  fixture24.VX    version 24: two accounts, six operations (a split with two
                  lines, a periodic one with its schedule), a released slot,
                  a category tree, an association, a situation account and
                  value, a project, settings that differ from the defaults
  fixture24pw.VX  version 24 with the password "SECRET": scrambled payloads
  fixture14.VX    version 14 records and header
  fixture08.VX    version 8 records and header
  fixture20.VX,   the same in versions 20 and 22, whose split operation has
  fixture22.VX    an "Orig : " complementary label and a bank reference
"""
import os
import struct
import sys

# The constant table of the book scrambling (storage/record_buffer.h).
TABLE = bytes([0x5A, 0x1F, 0xC3, 0x77, 0x08, 0xE4, 0x92, 0x3D,
               0xB6, 0x41, 0x6E, 0xD9, 0x25, 0x8B, 0xF0, 0x13])


def u8(v): return struct.pack('<B', v)
def u16(v): return struct.pack('<H', v)
def u32(v): return struct.pack('<I', v)
def f64(v): return struct.pack('<d', v)


def text(s, width):
    raw = s.encode('cp1252')
    assert len(raw) <= width - 1, (s, width)
    return raw + b'\0' * (width - len(raw))


def date(s):
    """'dd/mm/yyyy' (any separator) or '' for no date, in 11 bytes."""
    return text(s, 11)


def rgb(r, g, b): return r | g << 8 | b << 16


# Header fields in storage order: (name, width, since). Widths: 1, 2, 4 are
# integers, 9 a text, 'pw' the scrambled password, 257 the backup path.
HEADER = (
    [('dirty', 4, 2), ('signature', 9, 2), ('version', 1, 2),
     ('password_flag', 4, 11), ('password', 'pw', 11),
     ('confirm_remove_oldest_situation', 4, 18), ('confirm_delete_operation', 4, 2),
     ('confirm_delete_pointed', 4, 2), ('warn_change_pointed', 4, 2),
     ('confirm_periodic_creation', 4, 3), ('default_date', 4, 5),
     ('reserved_setting', 4, 5), ('reset_setting', 4, 5)]
    + [('colour%d' % i, 4, 9) for i in range(4)]
    + [('assign_categories', 4, 15), ('duplicate_confirmation', 4, 22)]
    + [('grade%d' % i, 4, 22) for i in range(5)]
    + [('tolerance%d' % i, 2, 22) for i in range(3)]
    + [('max_situations', 2, 18), ('backup_countdown', 2, 7), ('backup_path', 257, 7),
       ('periodic_days_ahead', 2, 3)]
    + [('counter_' + t, 4, 24 if t == 'J' else 6) for t in 'CGOSFAPVJ']
    + [('free_' + t, 4, 24 if t == 'J' else 6) for t in 'CGOSFAPVJ']
    + [('head_' + t, 4, 24 if t == 'J' else 2) for t in 'CGAPVJ'])


def header_size(version):
    return sum(9 if w == 'pw' else w for _, w, since in HEADER if version >= since)


def header(version, **fields):
    out = b''
    for name, width, since in HEADER:
        if version < since:
            continue
        value = fields.get(name, 0)
        if name == 'signature':
            out += text(value or 'LEDGOR', 9)
        elif name == 'version':
            out += u8(version)
        elif width == 'pw':
            plain = (value or '').encode('cp1252').ljust(9, b'\0')
            out += bytes((plain[i] + TABLE[i]) & 0xFF for i in range(9))
        elif width == 257:
            out += text(value or '', 257)
        else:
            out += {1: u8, 2: u16, 4: u32}[width](value)
    assert len(out) == header_size(version)
    return out


def key_of(password):
    raw = password.encode('cp1252')
    return bytes((TABLE[i] + raw[i % len(raw)]) & 0xFF for i in range(16))


def scramble(payload, key):
    return bytes((b + key[k % 16]) & 0xFF for k, b in enumerate(payload))


SIZES = {
    'C': lambda v: 180 if v <= 3 else 184 if v <= 9 else 186 if v <= 16 else 201 if v <= 18 else 203,
    'O': lambda v: (103 if v <= 6 else 107 if v <= 8 else 111 if v <= 14 else 107 if v == 15
                    else 158 if v <= 20 else 184 if v == 21 else 195 if v <= 23 else 201),
    'G': lambda v: 62 if v <= 12 else 158,
    'S': lambda v: 78,
    'F': lambda v: 28 if v <= 2 else 30,
    'A': lambda v: 46 if v <= 14 else 66,
    'P': lambda v: 126 if v <= 17 else 157,
    'V': lambda v: 50,
    'J': lambda v: 64,
}


# Payloads, fields in storage order with the version they appeared in.
def account(v, id, type, name, first_op, state=0, linked=0, initial=0.0, bank='', branch='',
            number='', card='', remark='', currency='EUR', prev_date='', opening=0.0,
            closing=0.0, pointing_date='', twin=0, conversion='', synthesis=0):
    p = u32(id)
    if v >= 10: p += u16(state)
    p += u16(type) + u32(linked) + f64(initial) + text(name, 21) + text(bank, 6)
    p += text(branch, 6) + text(number, 12) + text(card, 17) + text(remark, 51)
    if v >= 4: p += text(currency, 4)
    p += date(prev_date) + f64(opening) + f64(closing) + date(pointing_date) + u32(first_op)
    if v >= 17: p += u32(twin) + date(conversion)
    if v >= 19: p += u16(synthesis)
    return p


def operation(v, id, account, amount, label, when, first_split=0, periodic=0, linked=0,
              project=0, flags=0, kind=0, category=0, obsolete=0, pointing=0, complement='',
              source='', reference=''):
    p = u32(id) + u32(account) + u32(first_split) + u32(periodic)
    if v >= 7: p += u32(linked)
    if v >= 24: p += u32(project) + u16(flags)
    p += u32(kind) + u32(category)
    if 9 <= v <= 14: p += u32(obsolete)
    p += u16(pointing) + f64(amount) + text(label, 51)
    if v >= 16: p += text(complement, 51)
    p += date(when)
    if v >= 21: p += text(source, 26)
    if v >= 22: p += text(reference, 11)
    return p


def category(v, id, parent, debit, name, amount=0.0, budget=None):
    p = u32(id) + u32(parent) + u32(debit) + text(name, 31) + f64(amount)
    if v >= 13:
        for month in (budget or [0.0] * 12):
            p += f64(month)
    return p


def split_line(v, id, category, amount, label, operation):
    return u32(id) + u32(category) + f64(amount) + text(label, 51) + u32(operation)


def periodic(v, id, frequency, unit, count, day, when):
    p = u32(id) + u16(frequency) + u16(unit) + u16(count)
    if v >= 3: p += u16(day)
    return p + date(when)


def association(v, id, category, label):
    return u32(id) + u32(category) + text(label, 51 if v >= 15 else 31)


def situation_account(v, id, type, name, agency, label, currency='EUR', old_name='',
                      old_currency=''):
    p = u32(id) + u16(type) + text(name, 27) + text(agency, 41) + text(label, 41)
    p += text(currency, 4)
    if v >= 18: p += text(old_name, 27) + text(old_currency, 4)
    return p


def situation_value(v, id, account, when, amount, rate=1.0, counter_value=0.0):
    return u32(id) + u32(account) + date(when) + f64(amount) + f64(rate) + f64(counter_value)


def project(v, id, label, open=1):
    return u32(id) + text(label, 51) + u16(open)


class Book:
    """Records laid out one after the other behind the header. Each record is
    given by a function of the offsets of all records, so that links can
    point forward."""

    def __init__(self, version, password=''):
        self.version = version
        self.key = key_of(password) if password else None
        self.records = []  # (name, tag, size, next, sub, payload_fn, released)

    def add(self, name, tag, payload_fn, next=None, sub=None, released=False):
        size = SIZES[tag](self.version)
        self.records.append((name, tag, size, next, sub, payload_fn, released))

    def offsets(self):
        pos = header_size(self.version)
        result = {}
        for name, _, size, *_ in self.records:
            result[name] = pos
            pos += size
        return result

    def write(self, path, header_fn):
        off = self.offsets()
        link = lambda name: off[name] if name else 0
        body = b''
        for name, tag, size, next, sub, payload_fn, released in self.records:
            frame = u8(ord('X' if released else tag)) + u16(size) + u32(link(next))
            if tag == 'G':
                frame += u32(link(sub))
            payload = payload_fn(off)
            assert len(frame) + len(payload) == size, (name, len(frame), len(payload), size)
            if self.key and not released:
                payload = scramble(payload, self.key)
            body += frame + payload
        data = header_fn(off) + body
        with open(path, 'wb') as f:
            f.write(data)


def book24(path):
    v = 24
    b = Book(v)
    b.add('acc1', 'C', lambda o: account(
        v, 1, 0, 'Compte chèques', o['op1'], initial=1000.0, bank='30004', branch='00123',
        number='12345678901', remark='Compte joint', prev_date='31/01/2024', opening=900.0,
        closing=1000.0, synthesis=1), next='acc2')
    b.add('acc2', 'C', lambda o: account(
        v, 2, 1, 'Carte Visa', o['op6'], linked=1, card='4970123412341234', state=2))
    b.add('op1', 'O', lambda o: operation(
        v, 1, 1, -45.5, 'CARREFOUR MARKET', '01/02/2024', category=2, pointing=1,
        complement='CB 31/01', reference='REF0001', flags=0x0002), next='op2')
    b.add('op2', 'O', lambda o: operation(
        v, 2, 1, 1500.0, 'VIREMENT SALAIRE', '05/02/2024', category=3, pointing=3, project=1,
        flags=0x0001, source='1500,00 EUR'), next='op4')
    b.add('op4', 'O', lambda o: operation(
        v, 4, 1, -120.0, 'Prélèvement EDF', '05/02/2024', kind=1, first_split=o['s1']),
        next='op5')
    b.add('op5', 'O', lambda o: operation(
        v, 5, 1, -30.0, 'LOYER PARKING', '10-02-2024', periodic=o['f1'], flags=0x0001))
    b.add('op6', 'O', lambda o: operation(v, 6, 2, -25.99, 'AMAZON', '03/02/2024'))
    b.add('gone', 'O', lambda o: operation(v, 3, 1, -1.0, 'DELETED', '02/02/2024'),
          released=True)
    b.add('s1', 'S', lambda o: split_line(v, 1, 1, 100.0, 'Électricité', 4), next='s2')
    b.add('s2', 'S', lambda o: split_line(v, 2, 99, 20.0, 'Abonnement', 4))
    b.add('f1', 'F', lambda o: periodic(v, 1, 3, 0, 0, 10, '10/02/2024'))
    b.add('g3', 'G', lambda o: category(v, 3, 0, 0, 'Salaire'), next='g1')
    b.add('g1', 'G', lambda o: category(v, 1, 0, 1, 'Alimentation', 12.5,
                                        [250.0] + [300.0] * 11), sub='g2')
    b.add('g2', 'G', lambda o: category(v, 2, 1, 1, 'Restaurant'))
    b.add('a1', 'A', lambda o: association(v, 1, 1, 'CARREFOUR'))
    b.add('p1', 'P', lambda o: situation_account(v, 1, 0, 'Compte chèques', 'Agence Centre',
                                                 'CCP', old_name='Ancien', old_currency='FRF'))
    b.add('v1', 'V', lambda o: situation_value(v, 1, 1, '31/01/2024', 2500.0, 6.55957, 16398.93))
    b.add('j1', 'J', lambda o: project(v, 1, 'Vacances'))
    b.write(path, lambda o: header(
        v, confirm_delete_operation=0, confirm_periodic_creation=0, default_date=0,
        reserved_setting=7, confirm_remove_oldest_situation=1, confirm_delete_pointed=1,
        warn_change_pointed=1, reset_setting=1,
        colour0=rgb(255, 0, 0), colour1=rgb(0, 255, 0), colour2=rgb(0, 0, 255),
        colour3=rgb(255, 255, 255), assign_categories=1, duplicate_confirmation=2,
        grade0=0, grade1=1, grade2=2, grade3=1, grade4=0, tolerance0=3, tolerance1=4,
        tolerance2=5, max_situations=12, backup_countdown=7,
        backup_path='/home/user/Comptes.old', periodic_days_ahead=9,
        counter_C=2, counter_G=3, counter_O=6, counter_S=2, counter_F=1, counter_A=1,
        counter_P=1, counter_V=1, counter_J=1, free_O=o['gone'],
        head_C=o['acc1'], head_G=o['g3'], head_A=o['a1'], head_P=o['p1'], head_V=o['v1'],
        head_J=o['j1']))


def book24_password(path):
    v = 24
    b = Book(v, password='SECRET')
    b.add('acc1', 'C', lambda o: account(v, 1, 2, 'Livret A', o['op1'], initial=50.0))
    b.add('op1', 'O', lambda o: operation(v, 1, 1, 10.0, 'Intérêts', '31/12/2023'))
    b.write(path, lambda o: header(
        v, password_flag=1, password='SECRET', confirm_remove_oldest_situation=1,
        confirm_delete_operation=1, counter_C=1, counter_O=1, head_C=o['acc1']))


def book_old(path, v):
    b = Book(v)
    b.add('acc1', 'C', lambda o: account(
        v, 1, 0, 'Compte courant', o['op1'], state=1, initial=200.0, currency='FRF',
        prev_date='30/06/1998'))
    b.add('op1', 'O', lambda o: operation(
        v, 1, 1, -75.25, 'CHEQUE 1234', '02/07/1998', linked=0, category=1, obsolete=77,
        pointing=3, periodic=o['f1']), next='op2')
    b.add('op2', 'O', lambda o: operation(
        v, 2, 1, -60.0, 'Courses', '03/07/1998', kind=1, first_split=o['s1'],
        complement='Orig : 152,45 FRF Loyer', reference='REF123'))
    b.add('s1', 'S', lambda o: split_line(v, 1, 1, 60.0, 'Marché', 2))
    b.add('f1', 'F', lambda o: periodic(v, 1, 3, 0, 0, 2, '02/07/1998'))
    b.add('g1', 'G', lambda o: category(v, 1, 0, 1, 'Alimentation', 0.0,
                                        [float(m) for m in range(1, 13)]))
    b.add('a1', 'A', lambda o: association(v, 1, 1, 'MARCHE DU SAMEDI MATIN'))
    b.add('p1', 'P', lambda o: situation_account(v, 1, 1, 'Livret', 'Agence Nord', 'Epargne',
                                                 currency='FRF'))
    b.add('v1', 'V', lambda o: situation_value(v, 1, 1, '30/06/1998', 10000.0, 6.55957, 1524.49))
    b.write(path, lambda o: header(
        v, confirm_delete_operation=0, confirm_delete_pointed=1, warn_change_pointed=1,
        confirm_periodic_creation=1, default_date=1, reset_setting=1,
        colour0=rgb(255, 255, 128), colour1=rgb(128, 255, 128), colour2=rgb(128, 255, 255),
        colour3=0x80000005, assign_categories=1, backup_countdown=3,
        backup_path='C:/LEDGOR/Compte.old', periodic_days_ahead=4,
        counter_C=1, counter_G=1, counter_O=2, counter_S=1, counter_F=1, counter_A=1,
        counter_P=1, counter_V=1,
        head_C=o['acc1'], head_G=o['g1'], head_A=o['a1'], head_P=o['p1'], head_V=o['v1']))


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else '.'
    os.makedirs(out, exist_ok=True)
    book24(os.path.join(out, 'fixture24.VX'))
    book24_password(os.path.join(out, 'fixture24pw.VX'))
    book_old(os.path.join(out, 'fixture14.VX'), 14)
    book_old(os.path.join(out, 'fixture08.VX'), 8)
    book_old(os.path.join(out, 'fixture20.VX'), 20)
    book_old(os.path.join(out, 'fixture22.VX'), 22)


if __name__ == '__main__':
    main()
