// The program's own texts, as the Windows-1252 bytes it shows and writes.
// Hex escapes are split from the following letters ("A\xF1" "ade") because a
// hex escape would otherwise swallow them.
#pragma once

namespace tarvenia::texts {

inline constexpr char kWindowCaption[] = "Im\xE1" "genes de Tarvenia";
inline constexpr char kAppTitle[] = "Imagenes de Tarvenia";

inline constexpr char kConectando[] = "Conectando";
inline constexpr char kConexion[] = "Conexi\xF3" "n";
inline constexpr char kBytesRecibidos[] = " bytes recibidos";
inline constexpr char kDescargaCompletada[] = "Descarga Completada";

inline constexpr char kSalir[] = "Salir";
inline constexpr char kConectar[] = "Conectar";
inline constexpr char kConfirmar[] = "Confirmar";
inline constexpr char kFavoritas[] = "Favoritas";
inline constexpr char kTodas[] = "Todas";

inline constexpr char kHintAdd[] = "A\xF1" "ade a las favoritas";
inline constexpr char kHintRemove[] = "Borra de las favoritas";

inline constexpr char kUserAgent[] = "VaziDov";

} // namespace tarvenia::texts
