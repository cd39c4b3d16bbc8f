; The DOS game's stand-in for runs with the real emulator: a .COM program
; that prints one line, echoes the keys typed, and ends on Esc. Each key is
; also appended to KEYS.TXT in the current folder, so that a test sees which
; keys the game heard. It ships as Pexor\Pexor.exe; DOS loads a file without
; the MZ mark as a .COM program whatever its name.
;
;   nasm -f bin -o Pexor.exe pexor.asm
        org 0x100

        mov dx, banner
        mov ah, 0x09            ; print the line up to '$'
        int 0x21
next:   xor ah, ah              ; wait for a key: AL = its character
        int 0x16
        mov [key], al
        call record
        mov al, [key]
        cmp al, 0x1b            ; Esc ends the game
        je done
        mov dl, al
        cmp al, 0x0d            ; Enter starts a new line
        jne echo
        mov ah, 0x02
        int 0x21
        mov dl, 0x0a
echo:   mov ah, 0x02            ; write the character
        int 0x21
        jmp next
done:   mov ax, 0x4c00          ; back to DOS, exit code 0
        int 0x21

; Appends [key] to KEYS.TXT, opened and closed each time so that the file is
; whole on the host at once; a failure loses only that key's record.
record: mov ax, 0x3d01          ; open for writing
        mov dx, keys
        int 0x21
        jnc opened
        mov ah, 0x3c            ; or create it
        xor cx, cx
        int 0x21
        jc recorded
opened: mov bx, ax
        mov ax, 0x4202          ; to its end
        xor cx, cx
        xor dx, dx
        int 0x21
        mov ah, 0x40            ; one byte
        mov cx, 1
        mov dx, key
        int 0x21
        mov ah, 0x3e            ; closed
        int 0x21
recorded:
        ret

banner: db "PEXOR: type, Esc ends", 0x0d, 0x0a, "$"
keys:   db "KEYS.TXT", 0
key:    db 0
