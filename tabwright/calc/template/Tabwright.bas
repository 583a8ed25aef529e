REM Tabwright's end-of-run macros, in the module "Tabwright" of the template's
REM Standard library. Enter ChartReadings as the macro name in Tabwright's macro
REM dialog to run it each time a capture stops.
Option Explicit

REM Fits the width of every used column to its contents and charts the first
REM column of readings as a line chart named "Readings" to the right of the data:
REM the first column whose numbers change, passing over a column that only counts
REM up by one (an index). Numbers received as text count; a number written with
REM leading zeros ("0042") is an index or a code, never a reading. No captured
REM cell is changed: the chart reads the numbers from the hidden sheet
REM "ChartData", which the macro fills afresh each time.
Sub ChartReadings
	Dim oSheet As Object, oCursor As Object
	oSheet = ThisComponent.CurrentController.ActiveSheet
	oCursor = oSheet.createCursor()
	oCursor.gotoEndOfUsedArea(False)
	Dim lastRow As Long, lastColumn As Long
	lastRow = oCursor.RangeAddress.EndRow
	lastColumn = oCursor.RangeAddress.EndColumn
	oSheet.getCellRangeByPosition(0, 0, lastColumn, lastRow).Columns.OptimalWidth = True

	Dim column As Long, firstRow As Long, endRow As Long
	For column = 0 To lastColumn
		If FindReadings(oSheet, column, lastRow, firstRow, endRow) Then
			ChartColumn(oSheet, column, firstRow, endRow, lastColumn)
			Exit Sub
		End If
	Next column
End Sub

REM Whether the column holds at least two numbers that are not all equal and do
REM not just count up by one; if so, firstRow and endRow are set to the rows of
REM its first and last number.
Function FindReadings(oSheet As Object, column As Long, lastRow As Long, firstRow As Long, endRow As Long) As Boolean
	Dim data, row As Long, value As Double, first As Double, previous As Double
	Dim count As Long, changes As Boolean, counting As Boolean
	data = oSheet.getCellRangeByPosition(column, 0, column, lastRow).getDataArray()
	counting = True
	For row = 0 To lastRow
		If NumberIn(data(row)(0), value) Then
			If count = 0 Then
				firstRow = row
				first = value
			Else
				If value <> first Then changes = True
				If value <> previous + 1 Then counting = False
			End If
			previous = value
			endRow = row
			count = count + 1
		End If
	Next row
	FindReadings = count >= 2 And changes And Not counting
End Function

REM Whether a cell's content is a number or text that reads as a plain decimal
REM number (sign, digits, point, exponent) without leading zeros; the number
REM goes into value.
Function NumberIn(content As Variant, value As Double) As Boolean
	NumberIn = False
	If VarType(content) <> V_STRING Then
		value = content
		NumberIn = True
	ElseIf IsPlainNumber(content) And Not IsZeroPadded(content) Then
		value = Val(content)
		NumberIn = True
	End If
End Function

REM Whether a text starts with a zero followed by another digit, as counters and
REM codes of a fixed width do ("0042").
Function IsZeroPadded(content As String) As Boolean
	Dim text As String
	text = Trim(content)
	IsZeroPadded = False
	If Len(text) >= 2 Then
		If Left(text, 1) = "0" And Mid(text, 2, 1) >= "0" And Mid(text, 2, 1) <= "9" Then IsZeroPadded = True
	End If
End Function

Function IsPlainNumber(content As String) As Boolean
	Dim text As String, i As Long, c As String, digits As Long, point As Boolean, exponent As Boolean
	IsPlainNumber = False
	text = LCase(Trim(content))
	For i = 1 To Len(text)
		c = Mid(text, i, 1)
		If c >= "0" And c <= "9" Then
			digits = digits + 1
		ElseIf c = "+" Or c = "-" Then
			If i > 1 Then
				If Mid(text, i - 1, 1) <> "e" Then Exit Function
			End If
		ElseIf c = "." And Not point And Not exponent Then
			point = True
		ElseIf c = "e" And digits > 0 And Not exponent Then
			exponent = True
			digits = 0
		Else
			Exit Function
		End If
	Next i
	IsPlainNumber = digits > 0
End Function

REM The hidden sheet "ChartData", made when missing and emptied otherwise.
Function ChartDataSheet() As Object
	Dim oSheets As Object, oData As Object
	oSheets = ThisComponent.Sheets
	If Not oSheets.hasByName("ChartData") Then oSheets.insertNewByName("ChartData", oSheets.Count)
	oData = oSheets.getByName("ChartData")
	oData.IsVisible = False
	oData.clearContents(com.sun.star.sheet.CellFlags.VALUE + com.sun.star.sheet.CellFlags.STRING _
		+ com.sun.star.sheet.CellFlags.DATETIME + com.sun.star.sheet.CellFlags.FORMULA)
	ChartDataSheet = oData
End Function

Sub ChartColumn(oSheet As Object, column As Long, firstRow As Long, endRow As Long, lastColumn As Long)
	Dim oData As Object, oRange As Object, data, row As Long, value As Double
	data = oSheet.getCellRangeByPosition(column, firstRow, column, endRow).getDataArray()
	REM The readings as numbers, row for row; a cell that holds no reading stays empty.
	oData = ChartDataSheet()
	oRange = oData.getCellRangeByPosition(0, firstRow, 0, endRow)
	For row = 0 To UBound(data)
		If NumberIn(data(row)(0), value) Then oRange.getCellByPosition(0, row).Value = value
	Next row

	Dim oCharts As Object, oAnchor As Object, oChart As Object
	oCharts = oSheet.Charts
	If oCharts.hasByName("Readings") Then oCharts.removeByName("Readings")
	oAnchor = oSheet.getCellByPosition(lastColumn + 2, 0)
	Dim area As New com.sun.star.awt.Rectangle
	area.X = oAnchor.Position.X
	area.Y = oAnchor.Position.Y
	area.Width = 16000
	area.Height = 9000
	Dim ranges(0) As New com.sun.star.table.CellRangeAddress
	ranges(0) = oRange.RangeAddress
	oCharts.addNewByName("Readings", area, ranges(), False, False)
	oChart = oCharts.getByName("Readings").EmbeddedObject
	oChart.Diagram = oChart.createInstance("com.sun.star.chart.LineDiagram")
	oChart.HasLegend = False
	oChart.HasMainTitle = True
	oChart.Title.String = "Column " & oSheet.Columns.getByIndex(column).Name
End Sub
