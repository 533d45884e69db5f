# cmake -DINPUT=FILE -DOUTPUT=FILE -P windows-text.cmake: writes the UTF-8 text INPUT as Windows
# text, OUTPUT: a byte-order mark, by which Notepad and Windows PowerShell know it as UTF-8, then the
# lines, each ending in a carriage return and a line feed.
file(READ "${INPUT}" text)
string(REPLACE "\n" "\r\n" text "${text}")
string(ASCII 239 187 191 byte_order_mark)
file(WRITE "${OUTPUT}" "${byte_order_mark}${text}")
