; The DOS game's stand-in for runs with the real emulator: a .COM program
; that prints one line, echoes the keys typed, and ends on Esc. It ships as
; Pexor\Pexor.exe; DOS loads a file without the MZ mark as a .COM program
; whatever its name.
;
;   nasm -f bin -o Pexor.exe pexor.asm
        org 0x100

        mov dx, banner
        mov ah, 0x09            ; print the line up to '$'
        int 0x21
next:   xor ah, ah              ; wait for a key: AL = its character
        int 0x16
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

banner: db "PEXOR: type, Esc ends", 0x0d, 0x0a, "$"
